// Program entry of the game.
#include "game/GameMain.h"

int main(int argc, char** argv) { return GameMain(argc, argv); }
