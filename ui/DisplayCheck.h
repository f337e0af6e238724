#pragma once

// Where there is no display, Qt ends a window program with an abort and its own words about
// reinstalling. Called before the QApplication is made: returns false, having printed
// noDisplayText on standard error, when no display or platform is named at all; otherwise it
// leaves a fatal failure of the window system while the application starts to print
// noDisplayText and exit with status 2.
bool checkForDisplay(int argc, char** argv, const char* noDisplayText);
