#include <gtest/gtest.h>

#include "platform/platform.h"

TEST(DirectoryOf, CutsAfterTheLastSeparatorKeepingIt) {
    EXPECT_EQ(platform::directory_of("C:\\Games\\Зорелия\\launcher.exe"), "C:\\Games\\Зорелия\\");
    EXPECT_EQ(platform::directory_of("/home/p/game/launcher.exe"), "/home/p/game/");
    EXPECT_EQ(platform::directory_of("C:\\mixed/dir\\launcher.exe"), "C:\\mixed/dir\\");
    EXPECT_EQ(platform::directory_of("launcher.exe"), "");
}
