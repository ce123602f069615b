// The game's entry: parses the command line and runs the application (and its restarts).
#pragma once

// Runs the game with the program's arguments; returns the process exit status.
int GameMain(int argc, char** argv);
