#include "kit/terminate.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>

namespace {

[[noreturn]] void raise(const char* what) {
    throw std::runtime_error(what);
}

// An exception that leaves a noexcept function ends the program through std::terminate.
void escape(const char* what) noexcept {
    raise(what);
}

TEST(TerseTerminateHandler, EndsTheProgramNamingTheEscapedException) {
    EXPECT_DEATH(
        {
            kit::use_terse_terminate_handler();
            escape("Cannot open file \"skin\"");
        },
        "terminate called after throwing an exception\n  what\\(\\):  Cannot open file \"skin\"");
    EXPECT_DEATH(
        {
            kit::use_terse_terminate_handler();
            std::terminate();
        },
        "terminate called without an active exception");
}

#ifdef _WIN32
// The static runtime calls its default handler when nothing was set: that is ours too.
TEST(TerseTerminateHandler, TakesTheStaticRuntimesDefaultPlace) {
    EXPECT_DEATH(escape("no handler set"),
                 "terminate called after throwing an exception\n  what\\(\\):  no handler set");
}
#endif

}  // namespace
