#include "toolkit/application.h"

#include <stdexcept>

#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"
#include "toolkit/system_dialogs.h"

namespace toolkit {

const wchar_t* const form_window_class = L"ZoreliaForm";
const wchar_t* const group_box_window_class = L"ZoreliaGroupBox";

namespace {

// The resource id of the application icon.
constexpr int application_icon_id = 1;

void register_window_classes(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW form_class{};
    form_class.cbSize = sizeof(form_class);
    form_class.style = CS_DBLCLKS;
    // A dialog window: DefDlgProc keeps its focus and default button and handles the dialog
    // keys that IsDialogMessage sends it.
    form_class.cbWndExtra = DLGWINDOWEXTRA;
    form_class.lpfnWndProc = Form::window_proc;
    form_class.hInstance = instance;
    form_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form_class.lpszClassName = form_window_class;
    WNDCLASSEXW group_class = form_class;
    group_class.cbWndExtra = 0;
    group_class.lpfnWndProc = DefWindowProcW;
    group_class.lpszClassName = group_box_window_class;
    if (!RegisterClassExW(&form_class) || !RegisterClassExW(&group_class))
        throw std::runtime_error("Cannot register the window classes");
    registered = true;
}

bool is_form_window(HWND window) {
    wchar_t name[32]{};
    GetClassNameW(window, name, 32);
    return std::wstring_view(name) == form_window_class;
}

IconHandle load_application_icon(int size) {
    return IconHandle(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(application_icon_id),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// Tahoma with a character height of 11 layout pixels.
FontHandle make_font(int dpi, LONG weight) {
    LOGFONTW font{};
    font.lfHeight = -scaled(11, dpi);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    return FontHandle(CreateFontIndirectW(&font));
}

}  // namespace

Application::Application(platform::MessageBoxes& boxes) : boxes_(boxes) {
    register_window_classes(GetModuleHandleW(nullptr));
    big_icon_ = load_application_icon(GetSystemMetrics(SM_CXICON));
    small_icon_ = load_application_icon(GetSystemMetrics(SM_CXSMICON));
    system_dialogs_ = std::make_unique<SystemDialogSkin>(*this);
}

Application::~Application() = default;

HFONT Application::font(int dpi) const {
    FontHandle& slot = fonts_[dpi];
    if (!slot) slot = make_font(dpi, FW_NORMAL);
    return slot.get();
}

HFONT Application::caption_font(int dpi) const {
    FontHandle& slot = caption_fonts_[dpi];
    if (!slot) slot = make_font(dpi, FW_BOLD);
    return slot.get();
}

SkinManager& Application::skin() const {
    if (!skin_) throw std::logic_error("no skin manager: the main window makes it first");
    return *skin_;
}

bool Application::dispatch(const std::function<void()>& handler) noexcept {
    if (!handler) return true;
    try {
        handler();
        return true;
    } catch (...) {
        report_current_error();
    }
    return false;
}

std::string Application::error_text(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void Application::report_current_error() noexcept {
    try {
        std::string message = "Unknown error";
        try {
            throw;
        } catch (const std::exception& error) {  // the launcher's errors included
            message = error.what();
        } catch (...) {
        }
        boxes_.show(title_, error_text(message), platform::BoxKind::error);
    } catch (...) {
        // Nothing is left to tell the player with; the application carries on.
    }
}

void Application::report_window_error() noexcept {
    if (reporting_window_error_) return;
    reporting_window_error_ = true;
    report_current_error();
    reporting_window_error_ = false;
}

void Application::show_message(std::string_view text) const {
    boxes_.show(title_, text, platform::BoxKind::plain);
}

void Application::create_form(Form& form) {
    if (!main_form_) main_form_ = &form;
    form.create();
}

void Application::run() {
    if (!main_form_) return;
    if (!main_form_->visible()) main_form_->show();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) process_message(message);
}

void Application::terminate() const {
    PostQuitMessage(0);
}

void Application::process_message(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && is_form_window(root) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Application::process_messages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        process_message(message);
    }
}

}  // namespace toolkit
