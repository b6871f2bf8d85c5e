// The console end to end: a real process on a copy of the sample document,
// driven through its windows as a person would, and the file compared after.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <string>
#include <vector>
#include "quolla.h"
#include "TextSupport.h"

std::string ReadFile(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
// Types text over the whole of an edit control's text, a character at a time.
void TypeInto(HWND edit, const char* text);

extern const char kHandWrittenEntry[];

class Console : public ::testing::Test
{
protected:
    std::string folder;
    std::string document;
    PROCESS_INFORMATION process = {};
    // Tells apart the files of the folder that take what the console writes
    // ("stdout<tag>.txt", "stderr<tag>.txt"), for a second console at once.
    std::string streamsTag;

    void SetUp() override;
    void TearDown() override;

    // Starts the console; what it writes to stdout and stderr goes to files of the folder.
    void Start(const std::string& args);
    // The same with a command line in characters (UTF-16).
    void Start(const std::wstring& args);
    std::string StandardArgs() { return "--document \"" + document + "\" --service http-proxy"; }
    // Gives the document one allowed entry that a hand wrote, not the
    // definition dialog (a URL with a path): kHandWrittenEntry on line 46.
    void PlantHandWrittenEntry();
    // What the console wrote to stderr, with plain line feeds.
    std::string Errors() const;
    // What it wrote to stdout, the same way.
    std::string Output() const;

    // Waits until the console shows a window with this caption, or with
    // shown false until it has gone. NULL, failing the test with the reason
    // and the console's stderr, when it did not within ten seconds, the
    // console ended or it shows a message box instead.
    HWND WaitForWindow(const char* caption, bool shown = true);
    HWND WaitForSheet();
    // The console's exit code; 99, failing the test, and the console ended,
    // when it did not end within 20 seconds or showed a message box meanwhile.
    DWORD WaitForExit();
    // Presses one of the sheet's buttons; the console's exit code.
    DWORD Press(HWND sheet, int button);
    // Starts the console on the document and presses one of the sheet's buttons.
    DWORD OpenAndPress(const std::string& args, int button);
    DWORD Run(const std::string& args);
    HWND ShowPage(HWND sheet, int index);
    // The index of the tab with this caption.
    int PageIndex(HWND sheet, const char* caption);
    // The working group (the group read last) as stored in the document.
    QuoSievex StoredWorkingGroup();
    // A list of texts of the section "sievex" as stored in the document.
    std::vector<std::string> StoredList(const char* key);
};
