#include "app/shell/startup.h"

int main(int argc, char** argv) {
    return keydeck::RunKeyDeck(argc, argv);
}
