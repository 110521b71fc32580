#include "scriptwriter.h"

#include "appinfo.h"
#include "fileio.h"
#include "numberrule.h"
#include "projectpage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace scriptwriter {

namespace {

constexpr qint64 kVerticalItemLength = 15;
constexpr qint64 kFallbackLength = 100;
// The repeats only fill the box; the runtime adds copies itself when they fall short. So they
// never assume items narrower than the narrowest the editor admits, and never add more than
// this many characters to the script, whatever a hand-written document asks for.
constexpr qint64 kSmallestItem = 10;
constexpr qint64 kRepeatBudget = 2 * 1024 * 1024;
const QString kMarker = QStringLiteral("/* -- Replicate Items -- */");

qint64 boxLimit(const ScrollerDocument& doc) {
    const clsScroller& s = doc.scroller;
    const QString& size = isHorizontal(s.iDirn) ? s.sWidth : s.sHeight;
    return numberrule::wholeNumberClamped(size, -32768, 32767).value_or(kFallbackLength);
}

// What one pass adds to the running total.
qint64 passLength(const ScrollerDocument& doc) {
    if (!isHorizontal(doc.scroller.iDirn))
        return kVerticalItemLength * doc.items.size();
    const std::optional<qint64> defWidth = numberrule::wholeNumberClamped(
        doc.scroller.sDefWidth, 1, std::numeric_limits<qint32>::max());
    qint64 total = 0;
    for (const clsItem& item : doc.items) {
        const std::optional<qint64> own =
            numberrule::wholeNumberClamped(item.sWidth, 1, std::numeric_limits<qint32>::max());
        total += own ? *own : defWidth.value_or(kFallbackLength);
    }
    return total;
}

QString nativePath(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name);
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Characters of one pass.
qsizetype passChars(const ScrollerDocument& doc) {
    qsizetype size = kMarker.size() + 4;
    for (const clsItem& item : doc.items)
        size += doc.scroller.sName.size() + item.stringLength() + 2;
    return size;
}

} // namespace

QStringList projectFiles() {
    return {appinfo::kPageFile, appinfo::kLibraryFile, appinfo::kRuntimeFile};
}

qint64 passCount(const ScrollerDocument& doc) {
    if (doc.items.isEmpty())
        return 0;
    const qint64 limit = boxLimit(doc);
    // A negative size would write no pass, and the items would be lost from the file: the
    // first pass is the one the reader reads back, so there is always one.
    if (limit < 0)
        return 1;
    // Passes are written while the total so far is not above the limit.
    const qint64 step = std::max(passLength(doc), kSmallestItem * doc.items.size());
    const qint64 passes = limit / step + 1;
    return std::min(passes, 1 + kRepeatBudget / std::max<qint64>(1, passChars(doc)));
}

ScrollerDocument asWritten(const ScrollerDocument& doc) {
    ScrollerDocument d = doc;
    clsScroller& s = d.scroller;
    for (QString* v : {&s.sWidth, &s.sHeight, &s.sSpeed, &s.sDefWidth, &s.sSpacing, &s.sPause})
        *v = numberrule::scriptNumber(*v);
    return d;
}

namespace {

QString buildScript(const ScrollerDocument& doc, bool closingLineEnd) {
    const QString& n = doc.scroller.sName;
    const QString head = asWritten(doc).scroller.ToString();
    const qint64 passes = passCount(doc);
    qsizetype passSize = passChars(doc);

    QString s;
    s.reserve(head.size() + passSize * passes + 6 * n.size() + 80);
    s += head;
    const qsizetype passStart = s.size();
    for (qint64 i = 0; i < passes; ++i) {
        if (i > 0) {
            // Every pass is the same text.
            s.append(s.constData() + passStart, passSize);
            continue;
        }
        for (const clsItem& item : doc.items) {
            s += n;
            item.appendTo(s);
            s += u"\r\n";
        }
        s += u"\r\n";
        s += kMarker;
        s += u"\r\n";
        passSize = s.size() - passStart;
    }
    // Listeners beside the page's own: assigning onload and onresize would replace them.
    s += n;
    s += u".display();\r\nwindow.addEventListener('load', function(){";
    s += n;
    s += u".load();";
    s += n;
    s += u".start();});\r\nwindow.addEventListener('resize', function(){";
    s += n;
    s += u".load();});";
    if (closingLineEnd)
        s += u"\r\n";
    return s;
}

} // namespace

QString BuildScript(const ScrollerDocument& doc) {
    return buildScript(doc, false);
}

QString CopyFileQuiet(const QString& source, const QString& destination) {
    QFile in(source);
    const auto failure = [&](const QString& reason) {
        return QStringLiteral("Could not copy \"%1\" to \"%2\": %3.")
            .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(destination), reason);
    };
    if (!in.open(QIODevice::ReadOnly))
        return failure(in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return failure(in.errorString());
    in.close();
    const QString why = fileio::writeFile(destination, bytes);
    return why.isEmpty() ? QString() : failure(why);
}

bool sameDirectory(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

SaveResult SaveScroller(const QString& sFile, const ScrollerDocument& doc,
                        const QString& sProjectFolder, const QString& sAppFolder) {
    SaveResult result;
    result.encoding = doc.encoding;
    if (!sFile.isEmpty()) {
        const QByteArray bytes =
            textencoding::encode(buildScript(doc, true), doc.encoding, &result.encoding);
        const QString why = fileio::writeFile(sFile, bytes);
        if (!why.isEmpty()) {
            result.written = false;
            result.writeError = QStringLiteral("Could not write \"%1\": %2.")
                                    .arg(QDir::toNativeSeparators(sFile), why);
            return result;
        }
    }
    if (sProjectFolder.isEmpty() || sameDirectory(sProjectFolder, sAppFolder))
        return result;
    for (const QString& name : projectFiles()) {
        const QString dst = nativePath(sProjectFolder, name);
        if (!sFile.isEmpty() && sameFile(dst, sFile)) {
            result.copyErrors << QStringLiteral(
                                     "\"%1\" was not copied into \"%2\", because the scroller "
                                     "itself was saved under that name. Save the scroller under "
                                     "another name so the page can find the runtime.")
                                     .arg(name, QDir::toNativeSeparators(sProjectFolder));
            continue;
        }
        // A page the user made their own stays; the runtime files are always brought up to date.
        if (name == appinfo::kPageFile &&
            !projectpage::mayReplace(dst, nativePath(sAppFolder, name))) {
            result.keptFiles << dst;
            continue;
        }
        const QString error = CopyFileQuiet(nativePath(sAppFolder, name), dst);
        if (!error.isEmpty())
            result.copyErrors << error;
    }
    return result;
}

} // namespace scriptwriter
