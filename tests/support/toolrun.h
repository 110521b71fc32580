#pragma once

// Runs tickora-script (or another program) to its end and keeps what it said. The wait runs the
// event loop, so a feed server in the test's own process keeps answering meanwhile.
#include "eventwait.h"

#include <QDir>
#include <QProcess>

struct ToolRun {
    int code = -1; // -1: did not start or did not end in time; -2: crashed
    QByteArray out;
    QByteArray err;
};

// The build's tickora-script, beside the application's data files.
inline QString scriptTool() {
    return QDir(qEnvironmentVariable("TICKORA_APP_DIR"))
        .absoluteFilePath(QStringLiteral("tickora-script"));
}

inline ToolRun runProgram(const QString& program, const QStringList& args,
                          const QString& workDir = QString(),
                          const QProcessEnvironment& env = QProcessEnvironment()) {
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForStarted() || !waitUntil([&] { return p.state() == QProcess::NotRunning; }, 60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline ToolRun runTool(const QStringList& args, const QString& workDir = QString()) {
    return runProgram(scriptTool(), args, workDir);
}
