#pragma once

#include <functional>

class QObject;

// SIGINT and SIGTERM for tslrun, in every phase: until the scripts' turn they end the program at
// once (nothing is made yet that would need putting away); once handed over, they ask the event
// loop to stop the run (and the caller, which looks at Taken between runs, to end the call), and
// the program ends within kStopBudgetMs whatever the script, the link or standard output do.
namespace RunSignals {

inline constexpr int kStopBudgetMs = 150;

// Blocks both signals in this thread and every thread made after, and starts the thread that
// takes them. Call first thing in main.
void Start();
// From now on a signal calls `stop` with its exit status (130 or 143) on `context`'s thread.
void HandOver(QObject* context, std::function<void(int)> stop);
// From now on a signal ends the program at once again.
void TakeBack();
// Ends the program with the status last set here, `ms` from now, unless it has ended by then.
void ArmDeadline(int status, int ms = kStopBudgetMs);
// Calls off the deadlines armed so far, when the run they bounded has ended in time and the
// program goes on; a deadline that a signal armed stays.
void Disarm();
// The status of the signal taken, 0 while none was.
int Taken();
// The status an armed deadline exits with.
void SetStatus(int status);
// Ends the program now, with nothing put away: for a writer or a script that does not let go.
[[noreturn]] void EndNow(int status);

} // namespace RunSignals
