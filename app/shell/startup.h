#pragma once

namespace keydeck {

// The program from start to end: returns the process's exit code.
int RunKeyDeck(int argc, char** argv);

// True when the command line asks to start hidden: exactly "-hid", alone.
bool StartsHidden(int argc, char** argv);

}  // namespace keydeck
