#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starting other programs: the user's web browser and desktop tools.
class Shell {
public:
    virtual ~Shell() = default;

    // The command line, program first, that opens the address in the user's default web
    // browser; an empty list when no browser is known.
    virtual QStringList browserCommand(const QString& address) = 0;

    // Starts a program in its own process without waiting for it; false when it could not
    // be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;

    // The full path of an executable file, found on the PATH when name has no folder; empty
    // when there is none.
    virtual QString findProgram(const QString& name) = 0;
};

// The desktop's own rules: the default handler for web pages from the freedesktop MIME
// application lists, its desktop entry's command; then $BROWSER and x-www-browser.
class DesktopShell : public Shell {
public:
    QStringList browserCommand(const QString& address) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    QString findProgram(const QString& name) override;
};

// The parts of the freedesktop rules that need no process, for the shell and for tests.
namespace desktopentry {

struct Dirs {
    QStringList config;   // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
    QStringList data;     // $XDG_DATA_HOME, then $XDG_DATA_DIRS
    QStringList desktops; // $XDG_CURRENT_DESKTOP, lower case
    static Dirs fromEnvironment();
};

// The desktop-file id of the default application for a MIME type, or empty.
QString defaultHandler(const QString& mimeType, const Dirs& dirs);

// The path of an installed desktop file, or empty.
QString findDesktopFile(const QString& id, const QStringList& dataDirs);

// The Exec command of a desktop file with its field codes filled for one address; empty when
// the file has no usable Exec line.
QStringList execCommand(const QString& desktopFile, const QString& address);

// Splits an Exec value into arguments by the desktop-entry quoting rules.
QStringList splitExec(const QString& exec);

} // namespace desktopentry

} // namespace platform
