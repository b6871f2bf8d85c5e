// ConsoleModes.h - the console's modes without the sheet. Each takes the
// whole command line (without the program's name), reads its own options
// and returns the exit code.
#pragma once

#include <string>
#include <vector>

typedef int (*ConsoleMode)(const std::vector<std::string>& args);

// --check --document FILE [--service NAME] [--data-folder DIR]
int CheckMode(const std::vector<std::string>& args);
