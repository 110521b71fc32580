#pragma once

#include "shell.h"

#include <QList>

namespace platform {

// Records what would have been started; tests decide what is installed and what fails.
class FakeShell : public Shell {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    QString browser; // empty: no browser known
    bool startFails = false;
    QStringList programs; // full paths that "exist"
    QList<Start> started;

    QStringList browserCommand(const QString& address) override {
        if (browser.isEmpty())
            return {};
        return {browser, address};
    }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        if (startFails)
            return false;
        started.append(Start{program, arguments});
        return true;
    }
    QString findProgram(const QString& name) override {
        for (const QString& p : programs)
            if (p == name || p.endsWith(QLatin1Char('/') + name))
                return p;
        return {};
    }
};

} // namespace platform
