#include "kit/terminate.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace kit {

namespace {

[[noreturn]] void terminate_tersely() noexcept {
    if (const auto escaped = std::current_exception()) {
        try {
            std::rethrow_exception(escaped);
        } catch (const std::exception& error) {
            // fputs, not fprintf: the launcher links no printf machinery otherwise.
            std::fputs("terminate called after throwing an exception\n  what():  ", stderr);
            std::fputs(error.what(), stderr);
            std::fputs("\n", stderr);
        } catch (...) {
            std::fputs("terminate called after throwing an exception\n", stderr);
        }
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}

}  // namespace

void use_terse_terminate_handler() {
    std::set_terminate(terminate_tersely);
}

}  // namespace kit

#ifdef _WIN32
// The static libstdc++ installs this handler before main runs and so links it, demangler
// and all, into every exe. Defined here, in the object that main's call above pulls in, it
// takes the library's place.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    kit::terminate_tersely();
}
}  // namespace __gnu_cxx
#endif
