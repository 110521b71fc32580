#include "shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace platform {

namespace desktopentry {

namespace {

QStringList envDirs(const char* listVar, const QString& fallback) {
    const QString v = qEnvironmentVariable(listVar);
    return (v.isEmpty() ? fallback : v).split(u':', Qt::SkipEmptyParts);
}

QString envDir(const char* var, const QString& fallback) {
    const QString v = qEnvironmentVariable(var);
    return v.isEmpty() ? fallback : v;
}

// The entries of one section of a desktop or MIME list file, key to raw value.
QHash<QString, QString> readSection(const QString& path, const QString& section) {
    QHash<QString, QString> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&f);
    bool inside = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inside = line == u'[' + section + u']';
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inside || line.startsWith(u'#') || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!out.contains(key)) // the first of repeated keys counts
            out.insert(key, line.mid(eq + 1).trimmed());
    }
    return out;
}

// The string escapes of desktop files (\s, \n, \t, \r, \\).
QString unescapeValue(const QString& v) {
    QString out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != u'\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        const QChar c = v[++i];
        out += c == u's'   ? QChar(u' ')
               : c == u'n' ? QChar(u'\n')
               : c == u't' ? QChar(u'\t')
               : c == u'r' ? QChar(u'\r')
                           : c;
    }
    return out;
}

} // namespace

Dirs Dirs::fromEnvironment() {
    Dirs d;
    const QString home = QDir::homePath();
    d.config << envDir("XDG_CONFIG_HOME", home + QStringLiteral("/.config"))
             << envDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    d.data << envDir("XDG_DATA_HOME", home + QStringLiteral("/.local/share"))
           << envDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& desk : envDirs("XDG_CURRENT_DESKTOP", QString()))
        d.desktops << desk.toLower();
    return d;
}

QString findDesktopFile(const QString& id, const QStringList& dataDirs) {
    for (const QString& dir : dataDirs) {
        const QString apps = dir + QStringLiteral("/applications/");
        if (QFileInfo(apps + id).isFile())
            return apps + id;
        // "vendor-app.desktop" may stand as applications/vendor/app.desktop.
        for (qsizetype dash = id.indexOf(u'-'); dash > 0; dash = id.indexOf(u'-', dash + 1)) {
            const QString nested = apps + id.left(dash) + u'/' + id.mid(dash + 1);
            if (QFileInfo(nested).isFile())
                return nested;
        }
    }
    return {};
}

QString defaultHandler(const QString& mimeType, const Dirs& dirs) {
    QStringList lists;
    const auto addLists = [&](const QString& folder) {
        for (const QString& desk : dirs.desktops)
            lists << folder + u'/' + desk + QStringLiteral("-mimeapps.list");
        lists << folder + QStringLiteral("/mimeapps.list");
    };
    for (const QString& c : dirs.config)
        addLists(c);
    for (const QString& d : dirs.data)
        addLists(d + QStringLiteral("/applications"));
    for (const QString& d : dirs.data) // the older name of the same list
        lists << d + QStringLiteral("/applications/defaults.list");

    for (const QString& list : lists) {
        const QString value =
            readSection(list, QStringLiteral("Default Applications")).value(mimeType);
        for (const QString& id : value.split(u';', Qt::SkipEmptyParts))
            if (!findDesktopFile(id.trimmed(), dirs.data).isEmpty())
                return id.trimmed();
    }
    return {};
}

QStringList splitExec(const QString& exec) {
    QStringList args;
    QString cur;
    bool quoted = false;
    bool have = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                cur += exec[++i];
            } else if (c == u'"') {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == u'"') {
            quoted = have = true;
        } else if (c == u' ' || c == u'\t') {
            if (have)
                args << cur;
            cur.clear();
            have = false;
        } else {
            cur += c;
            have = true;
        }
    }
    if (have)
        args << cur;
    return args;
}

QStringList execCommand(const QString& desktopFile, const QString& address) {
    const QHash<QString, QString> entry = readSection(desktopFile, QStringLiteral("Desktop Entry"));
    const QStringList raw = splitExec(unescapeValue(entry.value(QStringLiteral("Exec"))));
    if (raw.isEmpty())
        return {};
    QStringList cmd;
    bool placed = false;
    for (const QString& arg : raw) {
        if (arg == u"%u" || arg == u"%U" || arg == u"%f" || arg == u"%F") {
            cmd << address;
            placed = true;
            continue;
        }
        if (arg == u"%i") {
            const QString icon = entry.value(QStringLiteral("Icon"));
            if (!icon.isEmpty())
                cmd << QStringLiteral("--icon") << icon;
            continue;
        }
        QString out;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            if (arg[i] != u'%' || i + 1 == arg.size()) {
                out += arg[i];
                continue;
            }
            const QChar code = arg[++i];
            if (code == u'%')
                out += u'%';
            else if (code == u'u' || code == u'U' || code == u'f' || code == u'F')
                out += address, placed = true;
            else if (code == u'c')
                out += entry.value(QStringLiteral("Name"));
            else if (code == u'k')
                out += desktopFile;
            // Every other code is dropped.
        }
        if (!out.isEmpty())
            cmd << out;
    }
    if (!placed)
        cmd << address;
    return cmd;
}

} // namespace desktopentry

QStringList DesktopShell::browserCommand(const QString& address) {
    const desktopentry::Dirs dirs = desktopentry::Dirs::fromEnvironment();
    for (const char* mime : {"x-scheme-handler/http", "x-scheme-handler/https", "text/html"}) {
        const QString id = desktopentry::defaultHandler(QString::fromLatin1(mime), dirs);
        if (id.isEmpty())
            continue;
        const QStringList cmd =
            desktopentry::execCommand(desktopentry::findDesktopFile(id, dirs.data), address);
        if (!cmd.isEmpty())
            return cmd;
    }
    // The older conventions: the BROWSER list, then the system's chosen browser.
    for (const QString& entry : qEnvironmentVariable("BROWSER").split(u':', Qt::SkipEmptyParts)) {
        QStringList cmd = desktopentry::splitExec(entry);
        if (cmd.isEmpty() || findProgram(cmd.first()).isEmpty())
            continue;
        bool placed = false;
        for (QString& a : cmd)
            if (a.contains(QStringLiteral("%s")))
                a.replace(QStringLiteral("%s"), address), placed = true;
        if (!placed)
            cmd << address;
        return cmd;
    }
    const QString fallback = findProgram(QStringLiteral("x-www-browser"));
    if (!fallback.isEmpty())
        return {fallback, address};
    return {};
}

bool DesktopShell::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QString DesktopShell::findProgram(const QString& name) {
    if (name.contains(u'/')) {
        const QFileInfo fi(name);
        return fi.isFile() && fi.isExecutable() ? name : QString();
    }
    return QStandardPaths::findExecutable(name);
}

} // namespace platform
