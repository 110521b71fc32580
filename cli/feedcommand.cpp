#include "feedcommand.h"

#include "appinfo.h"
#include "docjson.h"
#include "feedfetch.h"
#include "feeditems.h"
#include "feedparser.h"
#include "feedsource.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

namespace feedcommand {

const char kHelp[] =
    R"(Usage: tickora-script feed URL-OR-FILE OUT.js [--doc DOC.json] [--max N] [--summary N]
                          [--name-length N] [--title-markup] [--timeout SECONDS]
                          [--no-project-files] [--app-dir DIR]

Reads an RSS (0.90 to 2.0), Atom (0.3 or 1.0) or JSON Feed 1.x feed (an http or https
address, or a file) and writes the scroller OUT.js with one item per entry: the title as a
link to the entry, and with --summary N the first N characters of the entry's summary after
it.

The feed is remembered beside the script in OUT.feed.json. When OUT.js already exists, its
settings and its own items are kept and only the items that came from the feed are replaced
by the current entries (a refresh, for a cron job or a site build). Options not given are
taken from the remembered feed. A refresh with the remembered options asks the server
whether the feed changed since the last read (If-None-Match, If-Modified-Since); when it has
not, nothing is written. A feed that moved permanently (301, 308) is remembered at its new
address. A new OUT.js takes its settings from DOC.json (the form that
"read" prints; its items are kept) or else from the default scroller, without its items.

  --max N            take the first N entries (0, the default: all)
  --summary N        follow each title with up to N characters of its summary (default 0)
  --name-length N    cut the item names to N characters (default 30)
  --title-markup     keep simple inline markup (b, i, em, strong, code ...) of HTML titles;
                     without it titles are text
  --timeout SECONDS  give up when the feed has not arrived in this time (default 30)

Feeds larger than 8 MB, feeds that declare their own entities, web pages and anything else
that is not a feed are refused; nothing is written then.

Exit status: 0 written, or nothing new in the feed; 1 the feed could not be read or the
script could not be written (standard error says why; OUT.js is unchanged); 2 usage error.
)";

namespace {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

void err(const QString& s) {
    const QByteArray b = s.toUtf8();
    fwrite(b.constData(), 1, b.size(), stderr);
}

int usage(const QString& why) {
    err(why + QStringLiteral("\nSee tickora-script feed --help.\n"));
    return Usage;
}

bool number(const QStringList& args, qsizetype& i, int min, int max, std::optional<int>* out) {
    if (i + 1 >= args.size())
        return false;
    bool ok = false;
    const int v = args[++i].toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

// The address as it is remembered: a file as its absolute path, so a cron job started in
// another folder finds it again.
QString rememberedAddress(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

} // namespace

int run(const QStringList& args) {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        fputs(kHelp, stdout);
        return Ok;
    }
    QStringList positional;
    QString docPath;
    QString appDir = QCoreApplication::applicationDirPath();
    bool projectFiles = true;
    bool titleMarkup = false;
    std::optional<int> max, summary, nameLength, timeout;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--doc" || a == u"--app-dir") {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("%1 needs a value.").arg(a));
            (a == u"--doc" ? docPath : appDir) = args[++i];
        } else if (a == u"--max") {
            if (!number(args, i, 0, 100000, &max))
                return usage(QStringLiteral("--max needs a number of entries (0 for all)."));
        } else if (a == u"--summary") {
            if (!number(args, i, 0, 10000, &summary))
                return usage(QStringLiteral("--summary needs a number of characters, 0 to 10000."));
        } else if (a == u"--name-length") {
            if (!number(args, i, 1, 1000, &nameLength))
                return usage(QStringLiteral("--name-length needs a number of characters, 1 to "
                                            "1000."));
        } else if (a == u"--timeout") {
            if (!number(args, i, 1, 3600, &timeout))
                return usage(QStringLiteral("--timeout needs a number of seconds, 1 to 3600."));
        } else if (a == u"--title-markup") {
            titleMarkup = true;
        } else if (a == u"--no-project-files") {
            projectFiles = false;
        } else if (a.startsWith(u"--")) {
            return usage(QStringLiteral("Unknown option %1.").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return usage(QStringLiteral("feed takes a feed address or file and a script file."));
    const QString target = positional[1];
    QString why;
    const std::optional<QUrl> url = feed::addressToUrl(positional[0], &why);
    if (!url)
        return usage(why);

    // The document the feed items go into.
    ScrollerDocument doc;
    feed::Source source;
    const bool refreshing = QFileInfo::exists(target);
    if (refreshing) {
        // A refresh rewrites the file: it must be a scroller, not some other script given by
        // mistake.
        QFile existing(target);
        if (!existing.open(QIODevice::ReadOnly) ||
            !existing.read(64 * 1024).contains(" = new Tickora();")) {
            err(QStringLiteral("\"%1\" exists but is not a scroller script, so it was not "
                               "changed. Give the name of a new file or of a scroller to "
                               "refresh.\n")
                    .arg(QDir::toNativeSeparators(target)));
            return Failed;
        }
        const feed::SourceRead remembered = feed::readSource(target);
        if (!remembered.error.isEmpty())
            err(remembered.error + u'\n');
        if (remembered.source)
            source = *remembered.source;
    }
    if (!docPath.isEmpty()) {
        QFile json(docPath);
        if (!json.open(QIODevice::ReadOnly)) {
            err(QStringLiteral("Cannot open \"%1\": %2.\n").arg(docPath, json.errorString()));
            return Usage;
        }
        QJsonParseError pe;
        const QJsonDocument jd = QJsonDocument::fromJson(json.readAll(), &pe);
        if (pe.error != QJsonParseError::NoError || !jd.isObject()) {
            err(QStringLiteral("\"%1\" is not a JSON object.\n").arg(docPath));
            return Usage;
        }
        if (!docjson::fromJson(jd.object(), &doc, &why)) {
            err(QStringLiteral("\"%1\": %2\n").arg(docPath, why));
            return Usage;
        }
    } else if (refreshing) {
        const scriptreader::LoadResult r = scriptreader::LoadScroller(target, doc);
        if (!r.ok) {
            err(QStringLiteral("The scroller \"%1\" cannot be refreshed, because it cannot be "
                               "read completely: %2\nIt was left as it was.\n")
                    .arg(QDir::toNativeSeparators(target), r.error));
            return Failed;
        }
    } else {
        const QString def = QDir(appDir).filePath(appinfo::kDefaultScroller);
        const scriptreader::LoadResult r = scriptreader::LoadScroller(def, doc);
        if (!r.ok) {
            err(r.error + QStringLiteral("\nGive the scroller's settings with --doc DOC.json.\n"));
            return Failed;
        }
        doc.items.clear(); // the default scroller's sample items are not the feed's
        doc.encoding = TextEncoding::Utf8;
    }

    // Only a refresh that would make the same items again may be answered "nothing new".
    const feed::Source before = source;
    if (max)
        source.maxEntries = *max;
    if (summary)
        source.options.summaryLength = *summary;
    if (nameLength)
        source.options.nameLength = *nameLength;
    if (titleMarkup)
        source.options.titleMarkup = true;

    feed::Limits limits;
    if (timeout)
        limits.timeoutMs = *timeout * 1000;
    feed::Validators validators;
    if (refreshing && docPath.isEmpty() && source.address == rememberedAddress(*url) &&
        source.options == before.options && source.maxEntries == before.maxEntries)
        validators = {source.etag, source.lastModified};
    const feed::FetchResult fetched = feed::fetch(*url, limits, validators);
    if (!fetched.ok) {
        err(fetched.error +
            QStringLiteral("\n\"%1\" was not changed.\n").arg(QDir::toNativeSeparators(target)));
        return Failed;
    }
    if (fetched.notModified) {
        const QByteArray said = QStringLiteral("The feed has nothing new since it was last read, "
                                               "so \"%1\" was not changed.\n")
                                    .arg(QDir::toNativeSeparators(target))
                                    .toUtf8();
        fwrite(said.constData(), 1, said.size(), stdout);
        return Ok;
    }
    const feed::ParseResult parsed =
        feed::parse(fetched.bytes, fetched.finalUrl, fetched.contentType);
    if (!parsed.ok) {
        err(parsed.error +
            QStringLiteral("\n\"%1\" was not changed.\n").arg(QDir::toNativeSeparators(target)));
        return Failed;
    }
    const QList<clsItem> fresh =
        feed::makeItems(parsed.feed.entries, source.options, source.maxEntries);
    if (fresh.isEmpty()) {
        // An empty feed is more often a passing fault than news; the scroller keeps its items.
        err(QStringLiteral("The feed has no entries, so \"%1\" was not changed.\n")
                .arg(QDir::toNativeSeparators(target)));
        return Failed;
    }
    doc.items = feed::applyRefresh(doc.items, source.items, fresh);
    source.items = fresh;
    // A feed that moved for good is read at its new address from now on.
    source.address = rememberedAddress(fetched.movedTo.isEmpty() ? *url : fetched.movedTo);
    source.etag = fetched.etag;
    source.lastModified = fetched.lastModified;

    const QString projectFolder = projectFiles ? QFileInfo(target).absoluteDir().path() : QString();
    const scriptwriter::SaveResult w =
        scriptwriter::SaveScroller(target, doc, projectFolder, appDir);
    if (!w.written) {
        err(w.writeError + u'\n');
        return Failed;
    }
    for (const QString& e : w.copyErrors)
        err(e + u'\n');
    const QString sideError = feed::writeSource(target, source);
    if (!sideError.isEmpty()) {
        err(sideError + QStringLiteral("\nThe scroller was written, but a later refresh will "
                                       "not know which items came from the feed.\n"));
        return Failed;
    }
    return Ok;
}

} // namespace feedcommand
