// ostrel: writes GameMain-kb.exe, a copy of GameMain.exe v1.04 carrying the key bindings of
// ./ostrel.ini. Works in the current folder, takes no arguments, always exits with 0.

#include "kit/terminate.h"
#include "run.h"

int main() {
    kit::use_terse_terminate_handler();
    ostrel::StandardConsole console;
    ostrel::run(console);
    console.flush();
    return 0;
}
