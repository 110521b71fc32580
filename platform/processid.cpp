#include "processid.h"

#include <QFile>

#include <unistd.h>

namespace platform {

namespace {

// The start time of a live process from its stat line, or empty when it is gone or a zombie.
QByteArray startTime(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    // The command name may hold blanks and parentheses; the fields follow the last ')'.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is the state (field 3); the start time is field 22.
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return {};
    return fields.at(19);
}

} // namespace

QString processId() {
    static const QString own = processIdOf(::getpid());
    return own;
}

QString processIdOf(qint64 pid) {
    const QByteArray start = startTime(pid);
    return start.isEmpty() ? QString()
                           : QStringLiteral("%1-%2").arg(pid).arg(QString::fromLatin1(start));
}

bool isRunning(const QString& id) {
    const qsizetype dash = id.indexOf(QLatin1Char('-'));
    bool ok = false;
    const qint64 pid = id.left(dash).toLongLong(&ok);
    if (dash <= 0 || !ok || pid <= 0)
        return true;
    const QByteArray start = startTime(pid);
    return !start.isEmpty() && QString::fromLatin1(start) == id.mid(dash + 1);
}

} // namespace platform
