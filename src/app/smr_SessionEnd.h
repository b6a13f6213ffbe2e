#pragma once

#include <functional>

class QCoreApplication;

// The end of the session (logout, shutdown). One implementation per platform:
// SIGTERM or SIGHUP on POSIX systems, which leave the program time to end
// on its own; on Windows the system's question (WM_QUERYENDSESSION, Qt's
// commitDataRequest), after which the process may be ended at any moment.

// Starts catching it; called first thing, so that an end that comes while
// the program starts is not lost.
void CatchSessionEnd();
// When the session ends, once: `writeNow` where the system will not wait
// for the event loops to end (it writes everything without asking, in the
// system's request), then `leave`, which leaves every event loop; also when
// the session ended before this was called. Later requests are taken in
// silence.
void OnSessionEnd(QCoreApplication& app, std::function<void()> writeNow,
                  std::function<void()> leave);
