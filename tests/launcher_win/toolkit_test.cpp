// The toolkit's windows: modal showing, handlers and the dispatch point, dialog keys,
// program-set versus player-made choices, the timer and the skinned painting, on a small
// dialog laid out from a table.

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "core/errors.h"
#include "test_support.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace {

using toolkit::ControlKind;
using toolkit::ControlSpec;
using toolkit::ModalResult;

constexpr skin::Color dark{26, 26, 26};
constexpr skin::Color grey{128, 128, 128};

const toolkit::FormSpec dialog_spec{
    .name = "TestDialog",
    .caption = "Проба",
    .client_width = 305,
    .client_height = 151,
    .placement = toolkit::Placement::desktop_center,
    .active_control = "sComboBox1",
};

const std::array dialog_controls{
    ControlSpec{.kind = ControlKind::group_box,
                .name = "sGroupBox1",
                .caption = "Экран",
                .left = 8,
                .top = 8,
                .width = 289,
                .height = 105,
                .tab_order = 0},
    ControlSpec{.kind = ControlKind::label,
                .name = "sLabel1",
                .caption = "xxx x xxx",
                .parent = "sGroupBox1",
                .left = 129,
                .top = 26,
                .width = 48,
                .height = 13},
    ControlSpec{.kind = ControlKind::combo_box,
                .name = "sComboBox1",
                .parent = "sGroupBox1",
                .left = 129,
                .top = 48,
                .width = 145,
                .height = 21,
                .tab_order = 0,
                .face = dark,
                .text_color = grey},
    ControlSpec{.kind = ControlKind::radio_button,
                .name = "sm1",
                .caption = "В окне",
                .parent = "sGroupBox1",
                .left = 16,
                .top = 24,
                .width = 59,
                .height = 19,
                .tab_order = 1,
                .checked = true},
    ControlSpec{.kind = ControlKind::radio_button,
                .name = "sm2",
                .caption = "Во весь экран",
                .parent = "sGroupBox1",
                .left = 16,
                .top = 49,
                .width = 96,
                .height = 19,
                .tab_order = 2},
    ControlSpec{.kind = ControlKind::check_box,
                .name = "mm",
                .caption = "Не масштабировать",
                .parent = "sGroupBox1",
                .left = 16,
                .top = 75,
                .width = 129,
                .height = 20,
                .tab_order = 3},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton1",
                .caption = "OK",
                .left = 137,
                .top = 119,
                .width = 75,
                .height = 25,
                .tab_order = 1,
                .modal_result = ModalResult::ok,
                .default_button = true},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton2",
                .caption = "Отмена",
                .left = 218,
                .top = 119,
                .width = 75,
                .height = 25,
                .tab_order = 2,
                .modal_result = ModalResult::cancel},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton3",
                .caption = "Закрыть",
                .left = 8,
                .top = 119,
                .width = 60,
                .height = 25,
                .tab_order = 3},
    ControlSpec{.kind = ControlKind::label,
                .name = "sLabel2",
                .caption = "Справа",
                .left = 70,
                .top = 124,
                .width = 60,
                .height = 13,
                .alignment = toolkit::Alignment::right},
};

class ToolkitTest : public testing::Test {
  protected:
    ToolkitTest()
        : application(fakes.boxes),
          skin(toolkit::SkinManager::from_resource(L"SKIN")),
          dialog(application, dialog_spec, dialog_controls),
          combo(dialog.get<toolkit::ComboBox>("sComboBox1")),
          sm1(dialog.get<toolkit::RadioButton>("sm1")),
          sm2(dialog.get<toolkit::RadioButton>("sm2")),
          mm(dialog.get<toolkit::CheckBox>("mm")),
          ok(dialog.get<toolkit::Button>("sButton1")),
          cancel(dialog.get<toolkit::Button>("sButton2")),
          closer(dialog.get<toolkit::Button>("sButton3")) {
        application.set_title("Зорелия");
        application.set_skin(skin);
        application.create_form(dialog);
        for (const char* size : {"800 x 480", "800 x 600", "1024 x 768", "1280 x 720"})
            combo.add_item(size);
        combo.set_item_index(0);
    }

    ModalResult show_modal(std::function<void()> inside) {
        return test::show_modal_running(dialog, std::move(inside));
    }

    test::FakeServices fakes;
    toolkit::Application application;
    toolkit::SkinManager skin;
    toolkit::Form dialog;
    toolkit::ComboBox& combo;
    toolkit::RadioButton& sm1;
    toolkit::RadioButton& sm2;
    toolkit::CheckBox& mm;
    toolkit::Button& ok;
    toolkit::Button& cancel;
    toolkit::Button& closer;
};

TEST_F(ToolkitTest, DialogShownTwiceKeepsItsControlState) {
    std::vector<bool> visible_in_show;
    dialog.on_show = [&] { visible_in_show.push_back(IsWindowVisible(dialog.handle())); };

    const ModalResult first = show_modal([&] {
        SendMessageW(combo.handle(), WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(mm.handle(), BM_CLICK, 0, 0);
        SendMessageW(sm2.handle(), BM_CLICK, 0, 0);
        SendMessageW(cancel.handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(first, ModalResult::cancel);
    EXPECT_FALSE(IsWindowVisible(dialog.handle()));

    int index_seen = -1;
    bool mm_seen = false, sm1_seen = true, sm2_seen = false;
    const ModalResult second = show_modal([&] {
        index_seen = combo.item_index();
        mm_seen = mm.checked();
        sm1_seen = sm1.checked();
        sm2_seen = sm2.checked();
        PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(second, ModalResult::cancel);
    EXPECT_EQ(index_seen, 1);
    EXPECT_TRUE(mm_seen);
    EXPECT_FALSE(sm1_seen);
    EXPECT_TRUE(sm2_seen);
    EXPECT_EQ(visible_in_show, (std::vector<bool>{false, false}));
}

TEST_F(ToolkitTest, ProgramSetValuesRunNoHandlersWhilePlayerChoicesDo) {
    int changes = 0, sm1_clicks = 0, sm2_clicks = 0, mm_clicks = 0;
    combo.on_change = [&] { ++changes; };
    sm1.on_click = [&] { ++sm1_clicks; };
    sm2.on_click = [&] { ++sm2_clicks; };
    mm.on_click = [&] { ++mm_clicks; };
    dialog.show();

    combo.set_item_index(2);
    sm2.set_checked(true);
    mm.set_checked(true);
    SendMessageW(combo.handle(), CB_SETCURSEL, 1, 0);
    test::settle();
    EXPECT_EQ(changes + sm1_clicks + sm2_clicks + mm_clicks, 0);
    EXPECT_FALSE(sm1.checked());  // one radio button of a group is checked at a time

    SendMessageW(combo.handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.item_index(), 2);
    SendMessageW(sm1.handle(), BM_CLICK, 0, 0);
    SendMessageW(sm1.handle(), BM_CLICK, 0, 0);  // already checked: no change, no handler
    EXPECT_EQ(sm1_clicks, 1);
    EXPECT_TRUE(sm1.checked());
    EXPECT_FALSE(sm2.checked());
    SendMessageW(mm.handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(mm_clicks, 1);
    EXPECT_FALSE(mm.checked());
}

TEST_F(ToolkitTest, SelectionOutsideTheItemsSelectsNothing) {
    combo.set_item_index(4);
    EXPECT_EQ(combo.item_index(), -1);
    combo.set_item_index(-1);
    EXPECT_EQ(combo.item_index(), -1);
    combo.set_item_index(3);
    EXPECT_EQ(combo.item(combo.item_index()), "1280 x 720");
}

TEST_F(ToolkitTest, DialogClosesByButtonResultEvenWhenItsHandlerFails) {
    ok.on_click = [] {
        throw launcher::Error("List index out of bounds (3)");
        // Unreachable steps of a handler are skipped.
    };
    closer.on_click = [this] { dialog.close(); };
    struct Case {
        const char* what;
        std::function<void()> press;
        ModalResult result;
    };
    const Case cases[] = {
        {"OK, failing", [this] { SendMessageW(ok.handle(), BM_CLICK, 0, 0); }, ModalResult::ok},
        {"Cancel", [this] { SendMessageW(cancel.handle(), BM_CLICK, 0, 0); }, ModalResult::cancel},
        {"close box", [this] { PostMessageW(dialog.handle(), WM_CLOSE, 0, 0); },
         ModalResult::cancel},
        {"handler closing", [this] { SendMessageW(closer.handle(), BM_CLICK, 0, 0); },
         ModalResult::cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(show_modal(c.press), c.result);
    }
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].text, "List index out of bounds (3)");
    EXPECT_EQ(fakes.boxes.shown[0].kind, platform::BoxKind::error);
    EXPECT_EQ(fakes.boxes.shown[0].title, "Зорелия");
}

TEST_F(ToolkitTest, DispatchShowsTheErrorsMessageAndSkipsTheRestOfTheHandler) {
    struct Case {
        std::function<void()> raise;
        const char* shown;
    };
    const Case cases[] = {
        {[] { launcher::throw_list_index_error(16); }, "List index out of bounds (16)"},
        {[] { throw launcher::Error(launcher::not_integer_message("x")); },
         "''x'' is not a valid integer value."},
        {[] { throw launcher::Error("Cannot open file \"C:\\game.ini\". Access denied"); },
         "Cannot open file \"C:\\game.ini\". Access denied."},
        {[] { throw std::runtime_error("Already a sentence."); }, "Already a sentence."},
        {[] { throw std::runtime_error("Файл занят"); }, "Файл занят."},
        {[] { throw 42; }, "Unknown error."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        fakes.boxes.shown.clear();
        bool rest_ran = false;
        const bool finished = application.dispatch([&] {
            c.raise();
            rest_ran = true;
        });
        EXPECT_FALSE(finished);
        EXPECT_FALSE(rest_ran);
        ASSERT_EQ(fakes.boxes.shown.size(), 1u);
        EXPECT_EQ(fakes.boxes.shown[0].text, c.shown);
        EXPECT_EQ(fakes.boxes.shown[0].kind, platform::BoxKind::error);
        EXPECT_EQ(fakes.boxes.shown[0].title, "Зорелия");
    }
}

TEST_F(ToolkitTest, ErrorInOpeningHandlerIsShownBeforeTheDialogWhichStillOpens) {
    bool visible_at_error = true;
    fakes.boxes.while_shown = [&] { visible_at_error = IsWindowVisible(dialog.handle()); };
    dialog.on_show = [] { throw launcher::Error("Cannot open file \"x\". Denied"); };
    bool opened = false;
    show_modal([&] {
        opened = IsWindowVisible(dialog.handle());
        PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_FALSE(visible_at_error);
    EXPECT_TRUE(opened);
}

TEST_F(ToolkitTest, TabAndArrowKeysMoveAsInAnyDialog) {
    int sm2_clicks = 0;
    sm2.on_click = [&] { ++sm2_clicks; };
    dialog.show();
    ASSERT_EQ(GetFocus(), combo.handle());
    // Tab reaches a radio group at its checked button only, and wraps at the end.
    const toolkit::Control* order[] = {&sm1, &mm, &ok, &cancel, &closer, &combo};
    for (const auto* next : order) {
        test::press_key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), next->handle()) << next->name();
    }
    test::press_key(combo.handle(), VK_DOWN);  // a drop-down list keeps its arrows
    EXPECT_EQ(GetFocus(), combo.handle());
    EXPECT_EQ(combo.item_index(), 1);

    sm1.set_focus();
    ASSERT_EQ(GetFocus(), sm1.handle());
    test::press_key(sm1.handle(), VK_DOWN);  // within a radio group, an arrow chooses
    EXPECT_EQ(GetFocus(), sm2.handle());
    EXPECT_TRUE(sm2.checked());
    EXPECT_EQ(sm2_clicks, 1);

    ok.set_focus();
    test::press_key(ok.handle(), VK_RIGHT);  // buttons of a group: arrows walk them
    EXPECT_EQ(GetFocus(), cancel.handle());
}

TEST_F(ToolkitTest, EnterPressesTheDefaultOrFocusedButtonAndEscapeNothing) {
    struct Case {
        const char* what;
        toolkit::Control* focus;
        bool plain_focus;  // as a mouse click or a focus restore gives it, past the dialog keys
        WPARAM key;
        ModalResult result;
    };
    const Case cases[] = {
        {"Enter on a list presses the default", &combo, false, VK_RETURN, ModalResult::ok},
        {"Enter on a button presses it", &cancel, false, VK_RETURN, ModalResult::cancel},
        {"Enter on a clicked button presses it", &cancel, true, VK_RETURN, ModalResult::cancel},
        {"Escape without a cancel button", &combo, false, VK_ESCAPE, ModalResult::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModalResult after_key = ModalResult::none;
        const ModalResult returned = show_modal([&] {
            if (c.plain_focus)
                SetFocus(c.focus->handle());
            else
                c.focus->set_focus();
            test::press_key(GetFocus(), c.key);
            after_key = dialog.modal_result();
            if (after_key == ModalResult::none) PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(after_key, c.result);
        EXPECT_EQ(returned, c.result == ModalResult::none ? ModalResult::cancel : c.result);
    }
}

TEST_F(ToolkitTest, LabelsSizeThemselvesKeepingTheirAlignedEdge) {
    auto& left = dialog.get<toolkit::Control>("sLabel1");
    auto& right = dialog.get<toolkit::Control>("sLabel2");
    const RECT left_before = left.bounds();
    const RECT right_before = right.bounds();
    EXPECT_EQ(right_before.right, 130);
    left.set_caption("1920 x 1080 x 32bit");
    right.set_caption("Намного длиннее справа");
    EXPECT_EQ(left.bounds().left, left_before.left);
    EXPECT_GT(left.bounds().right, left_before.right);
    EXPECT_EQ(right.bounds().right, right_before.right);
    EXPECT_LT(right.bounds().left, right_before.left);
    EXPECT_EQ(right.bounds().bottom - right.bounds().top, 13);
}

TEST_F(ToolkitTest, TimerTicksOnlyWhileItRuns) {
    auto& timer = dialog.add_timer("Timer1", 20);
    int ticks = 0;
    timer.on_timer = [&] {
        if (++ticks == 3) dialog.close();
    };
    dialog.on_show = [&] { timer.set_enabled(true); };
    dialog.on_hide = [&] { timer.set_enabled(false); };
    dialog.show_modal();
    EXPECT_EQ(ticks, 3);
    // Stopped: the system's timer is gone, and a tick that was on its way runs nothing.
    EXPECT_FALSE(KillTimer(dialog.handle(), timer.id()));
    SendMessageW(dialog.handle(), WM_TIMER, timer.id(), 0);
    EXPECT_EQ(ticks, 3);
}

TEST_F(ToolkitTest, EveryControlIsPaintedInSkinColours) {
    using toolkit::Property;
    using toolkit::Section;
    dialog.show();
    test::settle();
    HWND group = dialog.get<toolkit::GroupBox>("sGroupBox1").handle();
    struct Probe {
        const char* what;
        HWND window;
        POINT at;
        COLORREF expected;
    };
    const Probe probes[] = {
        {"window", dialog.handle(), {2, 2}, skin.color(Section::form, Property::face)},
        {"group box", group, {200, 90}, skin.color(Section::group_box, Property::face)},
        {"group frame", group, {0, 50}, skin.color(Section::group_box, Property::frame)},
        {"button", cancel.handle(), {6, 6}, skin.color(Section::button, Property::face)},
        {"button border", cancel.handle(), {0, 12}, skin.color(Section::button, Property::border)},
        {"list field", combo.handle(), {4, 4}, RGB(26, 26, 26)},
        {"list border",
         combo.handle(),
         {0, 10},
         skin.color(Section::combo_box, Property::border, toolkit::State::focused)},
        {"check glyph", mm.handle(), {0, 10}, skin.color(Section::check_box, Property::border)},
        {"radio background", sm2.handle(), {90, 2}, skin.color(Section::group_box, Property::face)},
    };
    for (const auto& probe : probes) {
        SCOPED_TRACE(probe.what);
        const COLORREF seen = test::screen_pixel(probe.window, probe.at.x, probe.at.y);
        EXPECT_EQ(seen, probe.expected);
        EXPECT_NE(seen, GetSysColor(COLOR_BTNFACE));
        EXPECT_NE(seen, GetSysColor(COLOR_WINDOW));
    }
}

TEST(ErrorBoxText, FullStopOnlyAfterACharacterAboveTheFullStop) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"List index out of bounds (16)", "List index out of bounds (16)"},
        {"Cannot open file \"C:\\game.ini\". Access denied",
         "Cannot open file \"C:\\game.ini\". Access denied."},
        {"ends in a digit 5", "ends in a digit 5."},
        {"already stopped.", "already stopped."},
        {"hyphen-", "hyphen-"},  // '-' is just below '.'
        {"slash/", "slash/."},   // '/' is just above '.'
        {"''x'' is not", "''x'' is not."},
        {"Клавиатура", "Клавиатура."},  // a non-ASCII last character counts as above '.'
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(toolkit::Application::error_text(c.message), c.shown);
}

// Code under a window procedure fails (here: painting before any skin exists); the error
// stops at the procedure and reaches the same box as a handler's, and the window lives on.
TEST(WindowProcedureTest, AnEscapedErrorReachesTheErrorBox) {
    test::FakeServices fakes;
    toolkit::Application application(fakes.boxes);
    application.set_title("Зорелия");
    toolkit::Form window(application, dialog_spec, dialog_controls);
    application.create_form(window);
    window.show();
    RedrawWindow(window.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    toolkit::Application::process_messages();
    ASSERT_FALSE(fakes.boxes.shown.empty());
    for (const auto& box : fakes.boxes.shown) {
        EXPECT_EQ(box.text, "no skin manager: the main window makes it first.");
        EXPECT_EQ(box.kind, platform::BoxKind::error);
        EXPECT_EQ(box.title, "Зорелия");
    }
    EXPECT_TRUE(IsWindow(window.handle()));
    window.destroy();
}

TEST(SkinManagerTest, UnusableSkinTextGivesAClearError) {
    const char* texts[] = {
        "this is not a skin",
        "name = Broken\n[FORM]\nface = #26272A\ntext = #C4C4C4\n",
        "name = Bad colour\n[FORM]\nface = #2627ZZ\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        try {
            toolkit::SkinManager::from_text(text);
            ADD_FAILURE() << "accepted";
        } catch (const skin::SkinError& error) {
            EXPECT_GT(std::string_view(error.what()).size(), 10u);
        }
    }
}

TEST(SkinManagerTest, EmbeddedSkinIsTheLaunchersOwn) {
    const auto skin = toolkit::SkinManager::from_resource(L"SKIN");
    EXPECT_EQ(skin.skin_name(), "TV-b (internal)");
}

}  // namespace
