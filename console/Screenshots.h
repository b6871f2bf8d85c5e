// Screenshots of the editor's sheet: once the sheet is up, each page is
// shown in turn and written as a PNG, then the sheet is cancelled.
#pragma once

#include <windows.h>
#include <string>

// Starts watching for a sheet with this caption; the pictures go to folder.
void StartScreenshots(const std::string& sheetCaption, const std::string& folder);
// Number of pictures written, and the first error, if any.
int ScreenshotsWritten();
std::string ScreenshotError();

// "VG: Schedule" at position 4 -> "04-VG-Schedule.png"
std::string ScreenshotFileName(int position, const std::string& caption);
