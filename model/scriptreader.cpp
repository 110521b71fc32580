#include "scriptreader.h"

#include "fileio.h"
#include "modparser.h"

#include <QDir>

#include <cstring>

namespace scriptreader {

namespace {

constexpr QStringView kMarkerMiddle = u" -- Replicate Items -- ";

// Applies one line; false when reading stops here (the marker, or a failure).
bool readLine(QStringView line, int lineNumber, ScrollerDocument& doc, LoadResult& result) {
    if (isMarkerLine(line))
        return false;
    if (isPropertyLine(line)) {
        QString error;
        if (!doc.scroller.SetProperty(line, &error)) {
            result.ok = false;
            result.error = QStringLiteral("Line %1: %2").arg(lineNumber).arg(error);
            return false;
        }
    }
    if (isItemLine(line)) {
        clsItem item;
        item.SetItem(line);
        doc.items.append(std::move(item));
        ++result.itemsRead;
    }
    return true;
}

const char* find(const char* from, const char* end, char c) {
    return static_cast<const char*>(memchr(from, c, end - from));
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
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Its lines could not even be found; reading it as 8-bit text would give nothing.
        result.ok = false;
        result.error = QStringLiteral("The file is in UTF-16, and scroller scripts are read in "
                                      "UTF-8 or Windows-1252. Save it as UTF-8 in a text editor "
                                      "and open it again.");
        return result;
    }
    qsizetype bom;
    result.encoding = textencoding::detect(bytes, &bom);
    doc.encoding = result.encoding;

    // CR and LF are single bytes in both encodings, so lines are cut in the bytes and decoded
    // one at a time: the whole file never exists as decoded text.
    const char* pos = bytes.constData() + bom;
    const char* const end = bytes.constData() + bytes.size();
    const char* nextCr = find(pos, end, '\r');
    const char* nextLf = find(pos, end, '\n');
    int lineNumber = 0;
    while (pos < end) {
        // A line ends at CR LF, a lone CR or a lone LF.
        if (nextCr && nextCr < pos)
            nextCr = find(pos, end, '\r');
        if (nextLf && nextLf < pos)
            nextLf = find(pos, end, '\n');
        const char* eol = end;
        if (nextCr)
            eol = nextCr;
        if (nextLf && nextLf < eol)
            eol = nextLf;
        const QString text = textencoding::decodeSpan(pos, eol - pos, result.encoding);
        pos = eol;
        if (pos < end)
            pos += (*pos == '\r' && pos + 1 < end && pos[1] == '\n') ? 2 : 1;
        if (!readLine(modParser::trimSpaces(text), ++lineNumber, doc, result))
            break;
    }
    return result;
}

LoadResult fileFailure(const QString& sFile, const fileio::ReadResult& file) {
    LoadResult result;
    result.ok = false;
    result.error =
        QStringLiteral("The file \"%1\" cannot be %2: %3.")
            .arg(QDir::toNativeSeparators(sFile),
                 file.opened ? QStringLiteral("read") : QStringLiteral("opened"), file.error);
    return result;
}

LoadResult LoadScroller(const QString& sFile, ScrollerDocument& doc) {
    const fileio::ReadResult file = fileio::readRegularFile(sFile);
    return file.ok ? LoadScrollerBytes(file.bytes, doc) : fileFailure(sFile, file);
}

} // namespace scriptreader
