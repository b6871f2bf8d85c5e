// Shared pieces of the benchmark: the clock, medians, raw file floors and
// the report format. Each area's benchmark lives in a file of its own and
// is called from main in vgbench.cpp.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

const int kRuns = 11;

// Milliseconds from the performance counter.
double Now();
double Median(std::vector<double> v);
// Median of runs runs of fn.
double Time(const std::function<void()>& fn, int runs = kRuns);
// Medians of runs rounds, each running every fn once in turn: figures to be
// set beside each other see the machine in the same state.
std::vector<double> TimeInTurn(const std::vector<std::function<void()>>& fns, int runs = kRuns);

std::string TempPath(const char* name);
std::string ReadRaw(const std::string& path);
// The same durable replace the store does, without the document model.
void WriteRaw(const std::string& path, const std::string& data);

// One measured row and its floor beneath it.
void Row(const char* what, double ms, const char* floorWhat, double floorMs);

// Time from the call to the first moment the thread is idle with a window
// up: a timer is dispatched only when no other message is waiting, paints
// included, so its first tick after the window is activated marks that
// moment. The window is then cancelled (a sheet) or closed (a dialog).
// Median of kRuns calls of open.
double TimeToFirstIdle(const std::function<void()>& open);

// Benchmarks of the areas, in the order main runs them.
void BenchEditor();
void BenchControls();
void BenchExceptions();
void BenchSchedule();
void BenchMime();
void BenchStore();
void BenchMerge();
void BenchCheckRuns();
