#include <gtest/gtest.h>

#include "core/application_directory.h"

TEST(DirectoryOf, CutsAfterTheLastSeparatorKeepingIt) {
    EXPECT_EQ(launcher::directory_of("C:\\Games\\Зорелия\\launcher.exe"), "C:\\Games\\Зорелия\\");
    EXPECT_EQ(launcher::directory_of("/home/p/game/launcher.exe"), "/home/p/game/");
    EXPECT_EQ(launcher::directory_of("C:\\mixed/dir\\launcher.exe"), "C:\\mixed/dir\\");
    EXPECT_EQ(launcher::directory_of("launcher.exe"), "");
}
