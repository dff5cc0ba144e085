#pragma once

// UTF-8 inside, UTF-16 only at the Win32 calls.

#include <string>
#include <string_view>

namespace toolkit {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace toolkit
