// ConsoleModes.h - the console's modes without the sheet. Each takes the
// whole command line (without the program's name), reads its own options
// and returns the exit code.
#pragma once

#include <string>
#include <vector>

typedef int (*ConsoleMode)(const std::vector<std::string>& args);

// ExceptionsMode.cpp: an exception list out of a document and into it.
int ExportExceptions(const std::vector<std::string>& args);
int ImportExceptions(const std::vector<std::string>& args);

class Beach;
class CString;

// --diff OLD NEW [--service NAME] (DiffMode.cpp).
int DiffMode(const std::vector<std::string>& args);
// After OK: on stdout, the changes from the document as it was read (its
// text, before) to the one saved, or "No changes.".
void PrintSavedChanges(const CString& before, Beach& saved, const CString& service);
// --merge BASE MINE THEIRS [-o OUT] (MergeMode.cpp).
int MergeMode(const std::vector<std::string>& args);
// After OK, when the save was merged with one that came before it: on
// stdout, what this editor changed, then what was taken from the other save.
void PrintMergedChanges(const CString& before, const CString& mine, Beach& saved, const CString& service);
// --check [--service NAME] [--data-folder DIR] [--format gnu|sarif|gitlab] FILE... (CheckMode.cpp).
int CheckMode(const std::vector<std::string>& args);
