// Writes a stand-in GameMain.exe v1.04 (filler, the version mark and the game's key tests),
// for the demo folder and for trying the kit without the game: fake_game PATH
#include <cstdio>

#include "game_fixture.h"
#include "kit/atomic_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fake_game PATH\n", stderr);
        return 2;
    }
    const auto game = ostrel_test::make_game();
    const std::string_view bytes(reinterpret_cast<const char*>(game.data()), game.size());
    if (const auto failure = kit::replace_file_atomically(argv[1], bytes)) {
        std::fprintf(stderr, "fake_game: %s: %s\n", argv[1], failure->c_str());
        return 1;
    }
    return 0;
}
