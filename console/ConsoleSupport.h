// ConsoleSupport.h - what every mode of the console uses: its messages,
// its output and the usage text.
#pragma once

#include "afx.h"
#include <string>

class Beach;

// Text of the process code page, as UTF-8 on stderr (Say) or stdout
// (Print); a console window is handed the characters themselves.
void Say(const std::string& text);
void Print(const std::string& text);

// Text of the process code page as UTF-8.
std::string Utf8Of(const std::string& text);

// One line per conflict of a merge on stderr, each after prefix.
void SayConflicts(const std::string& prefix, const CStringArray& conflicts);

// "console: message" on stderr; 2, the exit code of a usage or document error.
int Fail(const std::string& message);
// The usage text and the message; 2.
int Usage(const std::string& message);

// Opens a document as the module reads it (its description of the values it
// owns tells the store what to check) and makes sure it has the service;
// 0, or the exit code of the error that was reported.
int OpenService(Beach& beach, const CString& document, const CString& service);

// The folder of a path written with "\" or "/"; "." for a bare name.
CString FolderOf(const CString& path);
