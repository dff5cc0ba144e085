#pragma once

namespace kit {

// Makes std::terminate (an exception that nothing caught, a throw out of a noexcept
// function) print a short line and the exception's what() on the standard error stream,
// then abort. libstdc++'s own handler prints the exception's type name, and its demangler
// costs a static exe about 46 KB; in the Windows build this file replaces that handler too.
void use_terse_terminate_handler();

}  // namespace kit
