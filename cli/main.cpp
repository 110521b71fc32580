// tickora-script: reads, writes and checks scroller scripts from the command line, exactly as
// the editor's Open and Save do.
#include "appinfo.h"
#include "docjson.h"
#include "documentcheck.h"
#include "feedcommand.h"
#include "fieldrules.h"
#include "fileio.h"
#include "readcheck.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

namespace {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

const char kUsage[] = R"(Usage:
  tickora-script read [--] FILE
  tickora-script write [--no-project-files] [--app-dir DIR] [--] DOC.json OUT.js
  tickora-script check [--] FILE
  tickora-script feed [--doc DOC.json] [--max N] [--] URL-OR-FILE OUT.js
  tickora-script COMMAND --help
Options may stand anywhere before "--"; everything after it is a file name.
)";

const char kReadHelp[] = R"(Usage: tickora-script read [--] FILE

Reads the scroller script FILE as the editor's Open does and prints the document as one JSON
object (UTF-8):

  {"scroller": {"name", "width", "height", "scrollSpeed", "direction",
                "pauseOnMouseover", "itemWidth", "spacing", "pause"},
   "items": [{"name", "text", "width"}, ...],
   "error": null or what went wrong,
   "unread": [{"line", "text"}, ...]}

Settings are the text as held in the script; "direction" is a whole number (0 Top < Bottom,
1 Top > Bottom, 2 Left < Right, 3 Left > Right) and "pauseOnMouseover" is true or false.
Item texts are exactly as held, escaped quotes (\') included. Only the first pass of items is
read. On a read failure the JSON holds what was read before it. "unread" lists the lines
(numbered from 1, without surrounding blanks) that the document does not carry, as the editor
finds them when it opens the script: lines the reader skips or takes in only in part, such as
other code, double-quoted item texts or a line after a read failure. Writing the document
back loses them. Folders, devices, pipes, files larger than 64 MB and files in UTF-16 are
refused.

Exit status: 0 read (also with unread lines), 1 read failure, 2 usage error.
)";

const char kWriteHelp[] =
    R"(Usage: tickora-script write [--no-project-files] [--app-dir DIR] [--] DOC.json OUT.js

Writes the scroller script OUT.js from DOC.json (the form that "read" prints) exactly as the
editor's Save writes that document, then copies tickora.htm, tickolib.js and tickora.js from
the application folder (the tool's own folder, or DIR) beside OUT.js, unless
--no-project-files is given. A missing key takes a new document's value: empty text,
direction 0, pauseOnMouseover true. Settings and item texts may be strings or numbers; a
number keeps its shortest form. Numeric settings are written without leading zeros.

The document must pass the editor's checks, as "check" describes them: a usable scroller
name, numbers within their ranges, and item names, texts and widths that can stand in the
script as they are: quotes escaped (\'), no line breaks (write <br>), and no backslash but
the one of an escaped quote (write &#92;). Otherwise nothing is written and every offending
field is named on standard error as "KEY: MESSAGE".

The script replaces OUT.js only once it is completely written; a full disk or any other
write error leaves the old file as it was. OUT.js must be a regular file or not exist yet.

Exit status: 0 written, 1 the document was refused or the script could not be written
(standard error says why), 2 usage error or unreadable JSON. A project file that could not be
copied is reported on standard error but does not change the exit status, and so is a
tickora.htm beside OUT.js that is not a page we delivered: it is the user's own and is kept.
)";

const char kCheckHelp[] = R"(Usage: tickora-script check [--] FILE

Reads FILE as "read" does, then applies the editor's checks: the scroller name must be a
usable script variable name (letters, digits and "_", not starting with a digit, and neither
a word JavaScript reserves nor a name browsers already give the page, such as function, new,
window, onload or indexedDB); every number field must lie in its range (widths and heights
10 to 2000, scroll speed 5 to 1000, spacing 0 to 50, pause 0 to 50000, item widths 10 to
2000; an empty field is fine); and item names, texts and widths must hold no line break, no
unescaped quote and no backslash but the one of an escaped quote (\'). Prints one line per
problem as "KEY: MESSAGE" (items as items[N].text), then each line of FILE that the editor
does not understand (see "read --help") as
  line N: not understood; saving the scroller would lose it: TEXT
When reading FILE fails, at its start or part-way, only the failure is printed, as
"error: DESCRIPTION".

Exit status: 0 no problem, 1 any problem or a read failure, 2 usage error.
)";

// File names in messages come out as the bytes the system gave.
void out(const QString& s) {
    const QByteArray b = fileio::pathToNative(s);
    fwrite(b.constData(), 1, b.size(), stdout);
}

void err(const QString& s) {
    const QByteArray b = fileio::pathToNative(s);
    fwrite(b.constData(), 1, b.size(), stderr);
}

int usage(const QString& why) {
    err(why + u'\n' + QLatin1String(kUsage));
    return Usage;
}

struct Args {
    QStringList options; // before "--", in order
    QStringList files;
};

// Everything after "--", and everything before it that does not begin with "-", is a file.
Args split(const QStringList& args) {
    Args a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--") {
            a.files << args.mid(i + 1);
            break;
        }
        if (args[i].startsWith(u'-') && args[i].size() > 1)
            a.options << args[i];
        else
            a.files << args[i];
    }
    return a;
}

bool wantsHelp(const Args& a) {
    return a.options.contains(QStringLiteral("--help")) || a.options.contains(QStringLiteral("-h"));
}

// The file arguments, or a usage message.
QString fileProblem(const QStringList& files, qsizetype wanted, const QString& what) {
    if (files.size() != wanted)
        return what;
    for (const QString& f : files)
        if (f.isEmpty())
            return QStringLiteral("A file name must not be empty.");
    return {};
}

struct Read {
    scriptreader::LoadResult result;
    QList<readcheck::Line> unread; // what the document does not carry
};

// Reads the script as the editor's Open does, and finds the lines it passed over as the
// editor finds them.
Read readScript(const QString& path, ScrollerDocument& doc) {
    const fileio::ReadResult file = fileio::readRegularFile(path);
    if (!file.ok)
        return {scriptreader::fileFailure(path, file), {}};
    return {scriptreader::LoadScrollerBytes(file.bytes, doc), readcheck::unreadLines(file.bytes)};
}

QString problemLines(const QList<documentcheck::Problem>& problems) {
    QString s;
    for (const documentcheck::Problem& p : problems)
        s += p.field + QStringLiteral(": ") + p.message + u'\n';
    return s;
}

int readCommand(const QStringList& args) {
    const Args a = split(args);
    if (wantsHelp(a))
        return out(QLatin1String(kReadHelp)), Ok;
    if (!a.options.isEmpty())
        return usage(QStringLiteral("Unknown option %1.").arg(a.options.first()));
    const QString why = fileProblem(a.files, 1, QStringLiteral("read takes one file."));
    if (!why.isEmpty())
        return usage(why);
    ScrollerDocument doc;
    const Read r = readScript(a.files[0], doc);
    const QJsonObject o = docjson::toJson(doc, r.result.ok ? QString() : r.result.error, r.unread);
    out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    return r.result.ok ? Ok : Failed;
}

int writeCommand(const QStringList& args) {
    bool projectFiles = true;
    QString appDir = QCoreApplication::applicationDirPath();
    QStringList positional;
    bool filesOnly = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (filesOnly) {
            positional << args[i];
        } else if (args[i] == u"--") {
            filesOnly = true;
        } else if (args[i] == u"--help" || args[i] == u"-h") {
            return out(QLatin1String(kWriteHelp)), Ok;
        } else if (args[i] == u"--no-project-files") {
            projectFiles = false;
        } else if (args[i] == u"--app-dir") {
            if (++i >= args.size() || args[i].isEmpty())
                return usage(QStringLiteral("--app-dir needs a folder."));
            appDir = args[i];
        } else if (args[i].startsWith(u'-') && args[i].size() > 1) {
            return usage(QStringLiteral("Unknown option %1.").arg(args[i]));
        } else {
            positional << args[i];
        }
    }
    const QString badFiles = fileProblem(
        positional, 2, QStringLiteral("write takes a JSON document and a script file."));
    if (!badFiles.isEmpty())
        return usage(badFiles);

    const fileio::ReadResult json = fileio::readRegularFile(positional[0]);
    if (!json.ok) {
        err(QStringLiteral("Cannot read \"%1\": %2.\n").arg(positional[0], json.error));
        return Usage;
    }
    // The parser drops a byte-order mark that begins a string; inside the document such a mark
    // can only stand in a string, so it is handed over escaped.
    QByteArray jsonBytes = json.bytes;
    if (jsonBytes.startsWith("\xEF\xBB\xBF"))
        jsonBytes.remove(0, 3);
    jsonBytes.replace("\xEF\xBB\xBF", "\\ufeff");
    QJsonParseError parseError;
    const QJsonDocument jd = QJsonDocument::fromJson(jsonBytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !jd.isObject()) {
        err(QStringLiteral("\"%1\" is not a JSON object: %2 (at byte %3).\n")
                .arg(positional[0], parseError.error != QJsonParseError::NoError
                                        ? parseError.errorString()
                                        : QStringLiteral("the top level is not an object"))
                .arg(parseError.offset));
        return Usage;
    }
    ScrollerDocument doc;
    QString why;
    if (!docjson::fromJson(jd.object(), &doc, &why)) {
        err(QStringLiteral("\"%1\": %2\n").arg(positional[0], why));
        return Usage;
    }
    const QList<documentcheck::Problem> problems = documentcheck::problems(doc);
    if (!problems.isEmpty()) {
        err(problemLines(problems) +
            QStringLiteral("Nothing was written: the editor would not save these values.\n"));
        return Failed;
    }
    const QString target = positional[1];
    const QString projectFolder = projectFiles ? QFileInfo(target).absoluteDir().path() : QString();
    const scriptwriter::SaveResult r =
        scriptwriter::SaveScroller(target, doc, projectFolder, appDir);
    if (!r.written) {
        err(r.writeError + u'\n');
        return Failed;
    }
    for (const QString& e : r.copyErrors)
        err(e + u'\n');
    for (const QString& page : r.keptFiles)
        err(QStringLiteral("\"%1\" was kept: it is not a page delivered with %2.\n")
                .arg(QDir::toNativeSeparators(page), appinfo::kAppName));
    return Ok;
}

int checkCommand(const QStringList& args) {
    const Args a = split(args);
    if (wantsHelp(a))
        return out(QLatin1String(kCheckHelp)), Ok;
    if (!a.options.isEmpty())
        return usage(QStringLiteral("Unknown option %1.").arg(a.options.first()));
    const QString why = fileProblem(a.files, 1, QStringLiteral("check takes one file."));
    if (!why.isEmpty())
        return usage(why);
    ScrollerDocument doc;
    const Read r = readScript(a.files[0], doc);
    // After a read failure the document is not what the file says: only the failure counts.
    if (!r.result.ok)
        return out(QStringLiteral("error: ") + r.result.error + u'\n'), Failed;
    QString report = problemLines(documentcheck::problems(doc));
    for (const readcheck::Line& l : r.unread)
        report += QStringLiteral("line %1: not understood; saving the scroller would lose "
                                 "it: %2\n")
                      .arg(l.number)
                      .arg(l.text);
    out(report);
    return report.isEmpty() ? Ok : Failed;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The arguments as the bytes the system gave: a file name need not be UTF-8.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << fileio::pathFromNative(QByteArray(argv[i]));
    if (args.isEmpty())
        return usage(QStringLiteral("No command given."));
    const QString command = args.takeFirst();
    if (command == u"--help" || command == u"-h" || command == u"help")
        return out(QLatin1String(kUsage)), Ok;
    if (command == u"read")
        return readCommand(args);
    if (command == u"write")
        return writeCommand(args);
    if (command == u"check")
        return checkCommand(args);
    if (command == u"feed")
        return feedcommand::run(args);
    return usage(QStringLiteral("Unknown command \"%1\".").arg(command));
}
