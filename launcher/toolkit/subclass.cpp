#include "toolkit/subclass.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace toolkit {
namespace {

struct Entry {
    SubclassProc proc;
    UINT_PTR id;
    DWORD_PTR data;
    bool removed = false;  // taken out while a message ran through the chain
};

struct Chain {
    WNDPROC original = nullptr;
    std::vector<Entry> entries;  // oldest first; the newest answers first
    // While a message runs: the entries below the one answering, those still to be called.
    std::size_t below = 0;
    int running = 0;  // messages on their way through the chain, nested
};

// One UI thread: the chains are the launcher's, keyed by window.
std::unordered_map<HWND, std::unique_ptr<Chain>>& chains() {
    static std::unordered_map<HWND, std::unique_ptr<Chain>> all;
    return all;
}

Chain* chain_of(HWND window) {
    const auto found = chains().find(window);
    return found == chains().end() ? nullptr : found->second.get();
}

// Calls the next live entry below the one answering, or the window's own procedure.
LRESULT pass_on(Chain& chain, HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    while (chain.below > 0) {
        // A copy: an entry added meanwhile may move the vector.
        const Entry entry = chain.entries[--chain.below];
        if (!entry.removed) return entry.proc(window, msg, wparam, lparam, entry.id, entry.data);
    }
    return CallWindowProcW(chain.original, window, msg, wparam, lparam);
}

LRESULT CALLBACK chain_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;

// With no message running: drops removed entries, and the chain itself once it is empty (the
// window's procedure given back, unless another one was put in front of ours) or the window
// has gone.
void tidy(HWND window, Chain& chain, bool window_gone) {
    if (chain.running) return;
    std::erase_if(chain.entries, [](const Entry& entry) { return entry.removed; });
    if (!window_gone) {
        if (!chain.entries.empty()) return;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != chain_proc)
            return;  // still forwarding for whoever came after us
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
    }
    chains().erase(window);
}

LRESULT CALLBACK chain_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
    Chain* chain = chain_of(window);
    if (!chain) return DefWindowProcW(window, msg, wparam, lparam);
    const std::size_t outer_below = chain->below;
    chain->below = chain->entries.size();
    ++chain->running;
    const LRESULT result = pass_on(*chain, window, msg, wparam, lparam);
    --chain->running;
    chain->below = outer_below;
    tidy(window, *chain, msg == WM_NCDESTROY);
    return result;
}

}  // namespace

bool set_window_subclass(HWND window, SubclassProc proc, UINT_PTR id, DWORD_PTR data) {
    Chain* chain = chain_of(window);
    if (!chain) {
        auto made = std::make_unique<Chain>();
        SetLastError(ERROR_SUCCESS);
        made->original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain_proc)));
        if (!made->original) return false;
        chain = chains().emplace(window, std::move(made)).first->second.get();
    }
    const auto same = std::ranges::find_if(chain->entries, [&](const Entry& entry) {
        return !entry.removed && entry.proc == proc && entry.id == id;
    });
    if (same != chain->entries.end())
        same->data = data;
    else
        chain->entries.push_back({proc, id, data});
    return true;
}

bool remove_window_subclass(HWND window, SubclassProc proc, UINT_PTR id) {
    Chain* chain = chain_of(window);
    if (!chain) return false;
    const auto same = std::ranges::find_if(chain->entries, [&](const Entry& entry) {
        return !entry.removed && entry.proc == proc && entry.id == id;
    });
    if (same == chain->entries.end()) return false;
    same->removed = true;
    tidy(window, *chain, false);
    return true;
}

LRESULT def_subclass_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    Chain* chain = chain_of(window);
    if (!chain) return DefWindowProcW(window, msg, wparam, lparam);
    if (!chain->running) return CallWindowProcW(chain->original, window, msg, wparam, lparam);
    const std::size_t answering = chain->below;
    const LRESULT result = pass_on(*chain, window, msg, wparam, lparam);
    chain->below = answering;  // a procedure may pass on more than one message
    return result;
}

}  // namespace toolkit
