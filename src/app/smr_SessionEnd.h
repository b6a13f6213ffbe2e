#pragma once

#include <functional>

class QCoreApplication;

// The end of the session (logout, shutdown: SIGTERM or SIGHUP here). One
// implementation per platform.
// Starts catching it; called first thing, so that an end that comes while
// the program starts is not lost.
void CatchSessionEnd();
// Calls `end` once from the event loop when the session ends, also when it
// ended before this was called; later signals are taken in silence.
void OnSessionEnd(QCoreApplication& app, std::function<void()> end);
