#include "platform/win32/code_page_win32.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

#include "kit/text.h"
#include "kit/unicode.h"

namespace platform {

namespace {

int checked_size(std::size_t size) {
    if (size > INT_MAX) throw std::length_error("text too long for the code page conversion");
    return static_cast<int>(size);
}

// Code pages that take no conversion flags and cannot report a default character.
bool takes_no_flags(unsigned code_page) {
    switch (code_page) {
        case 42:
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case CP_UTF7:
            return true;
        default:
            return code_page >= 57002 && code_page <= 57011;
    }
}

}  // namespace

std::string Win32CodePage::decode(std::string_view bytes) const {
    if (bytes.empty()) return {};
    const int length = checked_size(bytes.size());
    const int units = MultiByteToWideChar(code_page_, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(code_page_, 0, bytes.data(), length, wide.data(), units);
    return kit::text::narrow(wide);
}

std::optional<std::string> Win32CodePage::encode(std::string_view utf8) const {
    if (!kit::unicode::is_valid_utf8(utf8)) return std::nullopt;
    if (code_page_ == CP_UTF8) return std::string(utf8);
    if (utf8.empty()) return std::string();
    const std::wstring wide = kit::text::widen(utf8);
    const int length = checked_size(wide.size());

    const bool plain = takes_no_flags(code_page_);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* used_default_out = plain ? nullptr : &used_default;
    const int size = WideCharToMultiByte(code_page_, flags, wide.data(), length, nullptr, 0,
                                         nullptr, used_default_out);
    if (size <= 0 || used_default) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(code_page_, flags, wide.data(), length, bytes.data(), size, nullptr,
                        used_default_out);
    if (used_default) return std::nullopt;
    // Code pages without the default-character report: only a faithful round trip counts.
    if (plain && decode(bytes) != utf8) return std::nullopt;
    return bytes;
}

const launcher::CodePage& ansi_code_page() {
    static const Win32CodePage page(GetACP());
    return page;
}

}  // namespace platform
