// tickora-script: reads, writes and checks scroller scripts from the command line, exactly as
// the editor's Open and Save do.
#include "docjson.h"
#include "feedcommand.h"
#include "fieldrules.h"
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
  tickora-script read FILE
  tickora-script write DOC.json OUT.js [--no-project-files] [--app-dir DIR]
  tickora-script check FILE
  tickora-script feed URL-OR-FILE OUT.js [--doc DOC.json] [--max N]
  tickora-script COMMAND --help
)";

const char kReadHelp[] = R"(Usage: tickora-script read FILE

Reads the scroller script FILE as the editor's Open does and prints the document as one JSON
object (UTF-8):

  {"scroller": {"name", "width", "height", "scrollSpeed", "direction",
                "pauseOnMouseover", "itemWidth", "spacing", "pause"},
   "items": [{"name", "text", "width"}, ...],
   "error": null or what went wrong}

Settings are the text as held in the script; "direction" is a whole number (0 Top < Bottom,
1 Top > Bottom, 2 Left < Right, 3 Left > Right) and "pauseOnMouseover" is true or false.
Item texts are exactly as held, escaped quotes (\') included. Only the first pass of items is
read. On a read failure the JSON holds what was read before it.

Exit status: 0 read, 1 read failure, 2 usage error.
)";

const char kWriteHelp[] =
    R"(Usage: tickora-script write DOC.json OUT.js [--no-project-files] [--app-dir DIR]

Writes the scroller script OUT.js from DOC.json (the form that "read" prints) exactly as the
editor's Save writes that document, then copies tickora.htm, tickolib.js and tickora.js from
the application folder (the tool's own folder, or DIR) beside OUT.js, unless
--no-project-files is given. A missing key takes a new document's value: empty text,
direction 0, pauseOnMouseover true. Settings and item texts may be strings or numbers. Quotes
in names and texts must already be escaped (\') as the editor holds them.

Exit status: 0 written, 1 the script could not be written (standard error says why),
2 usage error or unreadable JSON. A project file that could not be copied is reported on
standard error but does not change the exit status.
)";

const char kCheckHelp[] = R"(Usage: tickora-script check FILE

Reads FILE as "read" does, then applies the editor's checks: the scroller name must be a
usable script variable name, and every number field must lie in its range (widths and
heights 10 to 2000, scroll speed 5 to 1000, spacing 0 to 50, pause 0 to 50000, item widths
10 to 2000; an empty field is fine). Prints one line per problem as "KEY: MESSAGE" (items as
items[N].width) and a read failure as "error: DESCRIPTION".

Exit status: 0 no problem, 1 any problem or a read failure, 2 usage error.
)";

void out(const QString& s) {
    const QByteArray b = s.toUtf8();
    fwrite(b.constData(), 1, b.size(), stdout);
}

void err(const QString& s) {
    const QByteArray b = s.toUtf8();
    fwrite(b.constData(), 1, b.size(), stderr);
}

int usage(const QString& why) {
    err(why + u'\n' + QLatin1String(kUsage));
    return Usage;
}

bool wantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

int readCommand(const QStringList& args) {
    if (wantsHelp(args))
        return out(QLatin1String(kReadHelp)), Ok;
    if (args.size() != 1)
        return usage(QStringLiteral("read takes one file."));
    ScrollerDocument doc;
    const scriptreader::LoadResult r = scriptreader::LoadScroller(args[0], doc);
    const QJsonObject o = docjson::toJson(doc, r.ok ? QString() : r.error);
    out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    return r.ok ? Ok : Failed;
}

int writeCommand(QStringList args) {
    if (wantsHelp(args))
        return out(QLatin1String(kWriteHelp)), Ok;
    bool projectFiles = true;
    QString appDir = QCoreApplication::applicationDirPath();
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--no-project-files") {
            projectFiles = false;
        } else if (args[i] == u"--app-dir") {
            if (++i >= args.size())
                return usage(QStringLiteral("--app-dir needs a folder."));
            appDir = args[i];
        } else if (args[i].startsWith(u"--")) {
            return usage(QStringLiteral("Unknown option %1.").arg(args[i]));
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return usage(QStringLiteral("write takes a JSON document and a script file."));

    QFile json(positional[0]);
    if (!json.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Cannot open \"%1\": %2.\n").arg(positional[0], json.errorString()));
        return Usage;
    }
    QJsonParseError parseError;
    const QJsonDocument jd = QJsonDocument::fromJson(json.readAll(), &parseError);
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
    return Ok;
}

int checkCommand(const QStringList& args) {
    if (wantsHelp(args))
        return out(QLatin1String(kCheckHelp)), Ok;
    if (args.size() != 1)
        return usage(QStringLiteral("check takes one file."));
    ScrollerDocument doc;
    const scriptreader::LoadResult r = scriptreader::LoadScroller(args[0], doc);
    QStringList problems;
    if (!r.ok)
        problems << QStringLiteral("error: ") + r.error;
    const QString nameProblem = fieldrules::CheckVariableName(doc.scroller.sName);
    if (!nameProblem.isEmpty())
        problems << QStringLiteral("name: ") + nameProblem;

    using fieldrules::NumericField;
    const auto range = [&](const QString& key, const QString& text, NumericField f) {
        const fieldrules::Bounds b = fieldrules::bounds(f);
        if (!fieldrules::inRange(text, b))
            problems << key + QStringLiteral(": ") + fieldrules::rangeMessage(b);
    };
    const clsScroller& s = doc.scroller;
    range(QStringLiteral("width"), s.sWidth, NumericField::ScrWidth);
    range(QStringLiteral("height"), s.sHeight, NumericField::ScrHeight);
    range(QStringLiteral("scrollSpeed"), s.sSpeed, NumericField::ScrSpeed);
    range(QStringLiteral("itemWidth"), s.sDefWidth, NumericField::ScrDefWidth);
    range(QStringLiteral("spacing"), s.sSpacing, NumericField::ScrSpacing);
    range(QStringLiteral("pause"), s.sPause, NumericField::ScrPause);
    for (qsizetype i = 0; i < doc.items.size(); ++i)
        range(QStringLiteral("items[%1].width").arg(i), doc.items[i].sWidth,
              NumericField::ItmWidth);

    for (const QString& p : problems)
        out(p + u'\n');
    return problems.isEmpty() ? Ok : Failed;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
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
