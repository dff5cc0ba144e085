// The toolkit's own subclassing: the order in which a window's procedures answer, messages
// sent from inside one of them, procedures taken out while a message runs or as the window
// goes, and the window's own procedure given back.

#include "toolkit/subclass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT probe = WM_APP + 1;
constexpr UINT nested_probe = WM_APP + 2;

std::vector<std::string> calls;

// Each subclass names itself in `calls` by its data and passes the message on.
LRESULT CALLBACK naming_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                             DWORD_PTR data) {
    if (msg == probe || msg == nested_probe) calls.push_back(reinterpret_cast<const char*>(data));
    return toolkit::def_subclass_proc(window, msg, wparam, lparam);
}

// Sends another message to its window before passing its own on.
LRESULT CALLBACK sending_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
    if (msg == probe) {
        calls.push_back("sending");
        SendMessageW(window, nested_probe, 0, 0);
    }
    return toolkit::def_subclass_proc(window, msg, wparam, lparam);
}

// Takes itself out while it answers, then passes the message on.
LRESULT CALLBACK leaving_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                              DWORD_PTR) {
    if (msg == probe || msg == WM_NCDESTROY) {
        calls.push_back(msg == probe ? "leaving" : "leaving at the end");
        toolkit::remove_window_subclass(window, leaving_proc, id);
    }
    return toolkit::def_subclass_proc(window, msg, wparam, lparam);
}

// The window's own procedure: notes the probes that reach it.
LRESULT CALLBACK own_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == probe || msg == nested_probe) {
        calls.push_back(msg == probe ? "own" : "own (nested)");
        return 42;
    }
    return DefWindowProcW(window, msg, wparam, lparam);
}

class Subclass : public ::testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = own_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"SubclassTestWindow";
        RegisterClassW(&window_class);
        window_ = CreateWindowW(L"SubclassTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }
    WNDPROC current_proc() const {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC));
    }
    static DWORD_PTR name(const char* text) { return reinterpret_cast<DWORD_PTR>(text); }

    HWND window_ = nullptr;
};

TEST_F(Subclass, TheNewestAnswersFirstAndTheWindowsOwnProcedureLast) {
    ASSERT_TRUE(toolkit::set_window_subclass(window_, naming_proc, 1, name("first")));
    ASSERT_TRUE(toolkit::set_window_subclass(window_, naming_proc, 2, name("second")));
    // The same procedure and id again only changes the data.
    ASSERT_TRUE(toolkit::set_window_subclass(window_, naming_proc, 2, name("second, renamed")));
    EXPECT_EQ(SendMessageW(window_, probe, 0, 0), 42);
    EXPECT_EQ(calls, (std::vector<std::string>{"second, renamed", "first", "own"}));

    EXPECT_TRUE(toolkit::remove_window_subclass(window_, naming_proc, 2));
    EXPECT_FALSE(toolkit::remove_window_subclass(window_, naming_proc, 2));
    EXPECT_TRUE(toolkit::remove_window_subclass(window_, naming_proc, 1));
    EXPECT_EQ(current_proc(), own_proc);
}

TEST_F(Subclass, AMessageSentFromInsideRunsTheWholeChainAndTheOuterOneGoesOnWhereItWas) {
    toolkit::set_window_subclass(window_, naming_proc, 1, name("inner"));
    toolkit::set_window_subclass(window_, sending_proc, 0, 0);
    toolkit::set_window_subclass(window_, naming_proc, 3, name("outer"));
    EXPECT_EQ(SendMessageW(window_, probe, 0, 0), 42);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer", "sending", "outer", "inner", "own (nested)",
                                               "inner", "own"}));
}

TEST_F(Subclass, OneTakenOutWhileItAnswersPassesOnAndIsGoneForTheNextMessage) {
    toolkit::set_window_subclass(window_, naming_proc, 1, name("kept"));
    toolkit::set_window_subclass(window_, leaving_proc, 7, 0);
    EXPECT_EQ(SendMessageW(window_, probe, 0, 0), 42);
    EXPECT_EQ(SendMessageW(window_, probe, 0, 0), 42);
    EXPECT_EQ(calls, (std::vector<std::string>{"leaving", "kept", "own", "kept", "own"}));

    // The last one taken out from inside gives the window its own procedure back.
    toolkit::remove_window_subclass(window_, naming_proc, 1);
    toolkit::set_window_subclass(window_, leaving_proc, 7, 0);
    SendMessageW(window_, probe, 0, 0);
    EXPECT_EQ(current_proc(), own_proc);
}

TEST_F(Subclass, AWindowThatGoesTakesItsChainWithIt) {
    toolkit::set_window_subclass(window_, naming_proc, 1, name("never called"));
    toolkit::set_window_subclass(window_, leaving_proc, 7, 0);
    DestroyWindow(window_);
    EXPECT_EQ(calls, (std::vector<std::string>{"leaving at the end"}));
    // Nothing of the old chain is left for the next window, which may get the same handle.
    window_ = CreateWindowW(L"SubclassTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(toolkit::remove_window_subclass(window_, naming_proc, 1));
    calls.clear();
    toolkit::set_window_subclass(window_, naming_proc, 1, name("new"));
    EXPECT_EQ(SendMessageW(window_, probe, 0, 0), 42);
    EXPECT_EQ(calls, (std::vector<std::string>{"new", "own"}));
}

}  // namespace
