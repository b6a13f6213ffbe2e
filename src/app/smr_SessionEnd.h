#pragma once

#include <functional>

class QCoreApplication;

// Calls `end` from the event loop when the session ends (logout, shutdown:
// SIGTERM or SIGHUP here). One implementation per platform.
void OnSessionEnd(QCoreApplication& app, std::function<void()> end);
