// What makes a test that went wrong end within seconds and say why, rather
// than wait for the run's time-out:
//
// - A message box or dialog that stays up while the thread runs its message
//   loop and no step of a ModalDriver waits for it fails the test with its
//   text and is closed; so is everything that comes up after it in that test.
// - A fault nobody handles, a thread that stops answering messages while a
//   ModalDriver runs, or a test that outlasts its time limit is reported with
//   the test's name and context, and the program goes on with the next test
//   in a fresh process of itself (the stuck or broken one cannot).
//
// TestMain installs it in every test program.
#pragma once

#include <windows.h>
#include <string>

namespace failfast {

// How long a window may stand still before the test is failed.
const DWORD kStuckMs = 3000;
// Unless the test sets its own: how long the thread may go without
// answering messages (a step may fill thousands of list entries), and the
// test's time limit (VG_TEST_SECONDS may give another).
const DWORD kSilentSeconds = 120;
const DWORD kTestSeconds = 600;

// Call once from main after InitGoogleTest: narrows the run to the tests
// after the one named in VG_RESUME_AFTER, installs the listener, the fault
// filter and the watchdog thread.
void Install();

// Printed with any report of the running test (a random walk's seed and
// step, say); cleared when the next test starts.
void SetContext(const std::string& where);

// The running test's time limit and how long it may go without answering
// messages, in seconds (0: no limit); the next test has the usual ones.
void SetLimits(DWORD testSeconds, DWORD silentSeconds);

} // namespace failfast
