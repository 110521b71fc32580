#pragma once

#include <QString>

// Who a running program is, in a form that outlives it: its process number alone is not enough,
// because the system gives a freed number to the next program started.
namespace platform {

// This process: "<pid>-<start time in clock ticks since boot>".
QString processId();
// The same for another running process; empty when it is gone.
QString processIdOf(qint64 pid);
// Whether the process that carried that id is still running (and not a later one reusing the
// number). An id not of that form counts as running, so nothing is taken from an unknown owner.
bool isRunning(const QString& id);

} // namespace platform
