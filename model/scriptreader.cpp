#include "scriptreader.h"

#include "modparser.h"

#include <QDir>
#include <QFile>

namespace scriptreader {

namespace {

constexpr QStringView kMarkerMiddle = u" -- Replicate Items -- ";

LoadResult readText(QStringView text, ScrollerDocument& doc, LoadResult result) {
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int lineNumber = 0;
    // Where the next CR and LF stand, found by fast searches and kept until passed.
    qsizetype nextCr = text.indexOf(u'\r');
    qsizetype nextLf = text.indexOf(u'\n');
    while (pos < n) {
        // A line ends at CR LF, a lone CR or a lone LF.
        if (nextCr >= 0 && nextCr < pos)
            nextCr = text.indexOf(u'\r', pos);
        if (nextLf >= 0 && nextLf < pos)
            nextLf = text.indexOf(u'\n', pos);
        qsizetype end = n;
        if (nextCr >= 0)
            end = nextCr;
        if (nextLf >= 0 && nextLf < end)
            end = nextLf;
        const QStringView line = modParser::trimSpaces(text.mid(pos, end - pos));
        pos = end;
        if (pos < n)
            pos += (text[pos] == u'\r' && pos + 1 < n && text[pos + 1] == u'\n') ? 2 : 1;
        ++lineNumber;

        if (isMarkerLine(line))
            break;
        if (isPropertyLine(line)) {
            QString error;
            if (!doc.scroller.SetProperty(line, &error)) {
                result.ok = false;
                result.error = QStringLiteral("Line %1: %2").arg(lineNumber).arg(error);
                return result;
            }
        }
        if (isItemLine(line)) {
            clsItem item;
            item.SetItem(line);
            doc.items.append(std::move(item));
            ++result.itemsRead;
        }
    }
    return result;
}

} // namespace

bool isMarkerLine(QStringView line) {
    const qsizetype n = line.size();
    return n >= kMarkerMiddle.size() + 2 && line.front() == u'/' && line.back() == u'/' &&
           line.mid(1, n - 2).contains(kMarkerMiddle);
}

bool isPropertyLine(QStringView line) {
    const qsizetype dot = line.indexOf(u'.');
    return dot >= 0 && line.indexOf(u'=', dot + 1) >= 0;
}

bool isItemLine(QStringView line) {
    // Single-character searches are the fast ones: find each "." and ")" and look around it.
    qsizetype add = -1;
    for (qsizetype dot = line.indexOf(u'.'); dot >= 0; dot = line.indexOf(u'.', dot + 1)) {
        if (line.mid(dot, 5) == u".add(") {
            add = dot;
            break;
        }
    }
    if (add < 0)
        return false;
    for (qsizetype close = line.indexOf(u')', add + 5); close >= 0;
         close = line.indexOf(u')', close + 1)) {
        if (close + 1 < line.size() && line[close + 1] == u';')
            return true;
    }
    return false;
}

LoadResult LoadScrollerBytes(const QByteArray& bytes, ScrollerDocument& doc) {
    LoadResult result;
    const QString text = textencoding::decode(bytes, &result.encoding);
    doc.encoding = result.encoding;
    return readText(text, doc, result);
}

LoadResult LoadScroller(const QString& sFile, ScrollerDocument& doc) {
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly)) {
        LoadResult result;
        result.ok = false;
        result.error = QStringLiteral("The file \"%1\" cannot be opened: %2.")
                           .arg(QDir::toNativeSeparators(sFile), file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        LoadResult result;
        result.ok = false;
        result.error = QStringLiteral("The file \"%1\" cannot be read: %2.")
                           .arg(QDir::toNativeSeparators(sFile), file.errorString());
        return result;
    }
    file.close();
    return LoadScrollerBytes(bytes, doc);
}

} // namespace scriptreader
