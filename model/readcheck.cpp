#include "readcheck.h"

#include "clsitem.h"
#include "clsscroller.h"
#include "modparser.h"
#include "scriptreader.h"
#include "textencoding.h"

#include <QRegularExpression>

namespace readcheck {

namespace {

// The line without the blanks that stand outside single-quoted text, where quotes are cut as
// the item reader cuts them (a quote after a backslash is the escape "\'").
QString withoutOuterBlanks(QStringView line) {
    QString out;
    out.reserve(line.size());
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\'' && (i == 0 || line[i - 1] != u'\\'))
            quoted = !quoted;
        else if (!quoted && (c == u' ' || c == u'\t'))
            continue;
        out += c;
    }
    return out;
}

bool isBlankTail(QStringView tail) {
    for (QChar c : tail)
        if (c != u' ' && c != u'\t')
            return false;
    return true;
}

// An add call whose three arguments the item reader takes in completely.
bool itemUnderstood(QStringView line) {
    const qsizetype add = line.indexOf(u".add(");
    clsItem item;
    item.SetItem(line);
    return withoutOuterBlanks(line) ==
           withoutOuterBlanks(QString(line.left(add).toString() + item.ToString()));
}

// A setting the writer writes back as it stands: a known name, and nothing after the value
// but the closing ";". Without a ";" the value loses its last character.
bool settingUnderstood(QStringView line, const clsScroller& applied) {
    static const QStringList keys = {QStringLiteral("name"),          QStringLiteral("type"),
                                     QStringLiteral("width"),         QStringLiteral("height"),
                                     QStringLiteral("spacing"),       QStringLiteral("itemwidth"),
                                     QStringLiteral("scrollspeed"),   QStringLiteral("pausedelay"),
                                     QStringLiteral("pausemouseover")};
    const QStringView name = modParser::propNameView(line);
    if (!keys.contains(name))
        return false;
    const qsizetype single = line.indexOf(u'\'');
    const qsizetype dbl = line.indexOf(u'"');
    QStringView tail;
    if (single < 0 && dbl < 0) {
        const qsizetype semicolon = line.indexOf(u';');
        if (semicolon < 0)
            return false;
        tail = line.mid(semicolon + 1);
    } else {
        const QChar q = (dbl < 0 || (single >= 0 && single < dbl)) ? u'\'' : u'"';
        const qsizetype close = line.lastIndexOf(q);
        if (close == line.indexOf(q))
            return false;
        tail = line.mid(close + 1);
        if (tail.startsWith(u';'))
            tail = tail.mid(1);
        else if (!isBlankTail(tail))
            return false;
    }
    if (!isBlankTail(tail))
        return false;
    // An empty optional setting is not written back.
    const QString* value = nullptr;
    if (name == u"width")
        value = &applied.sWidth;
    else if (name == u"height")
        value = &applied.sHeight;
    else if (name == u"spacing")
        value = &applied.sSpacing;
    else if (name == u"itemwidth")
        value = &applied.sDefWidth;
    else if (name == u"scrollspeed")
        value = &applied.sSpeed;
    else if (name == u"pausedelay")
        value = &applied.sPause;
    return !value || !value->isEmpty();
}

// The constructor and the closing block, which the writer writes for every script: today's
// listeners, and the handler assignments that older versions wrote.
bool frameUnderstood(QStringView line) {
    static const QRegularExpression frame(QStringLiteral(
        R"(^(?:(?:var\s+)?[A-Za-z_$][\w$]*\s*=\s*new\s+Tickora\s*\(\s*\)\s*;?)"
        R"(|[\w$]+\s*\.\s*display\s*\(\s*\)\s*;?)"
        R"(|(?:onload\s*=|(?:window\.)?addEventListener\s*\(\s*'load'\s*,)\s*function\s*\(\s*\)\s*)"
        R"(\{\s*[\w$]+\.load\(\);\s*[\w$]+\.start\(\);\s*\}\s*\)?\s*;?)"
        R"(|(?:onresize\s*=|(?:window\.)?addEventListener\s*\(\s*'resize'\s*,)\s*function\s*\(\s*\)\s*)"
        R"(\{\s*[\w$]+\.load\(\);\s*\}\s*\)?\s*;?)$)"));
    return frame.match(line.toString()).hasMatch();
}

} // namespace

QList<Line> unreadLines(const QByteArray& bytes) {
    TextEncoding encoding;
    const QString text = textencoding::decode(bytes, &encoding);
    QList<Line> unread;
    clsScroller scratch;
    bool afterMarker = false;
    bool failed = false;
    int number = 0;
    int rows = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        // Lines end as the reader ends them: CR LF, a lone CR or a lone LF.
        qsizetype eol = pos;
        while (eol < text.size() && text[eol] != u'\r' && text[eol] != u'\n')
            ++eol;
        const QStringView line = modParser::trimSpaces(QStringView(text).mid(pos, eol - pos));
        pos =
            eol + ((eol + 1 < text.size() && text[eol] == u'\r' && text[eol + 1] == u'\n') ? 2 : 1);
        ++number;
        if (isBlankTail(line))
            continue;
        bool understood;
        int itemRow = -1;
        if (failed) {
            understood = false;
        } else if (scriptreader::isMarkerLine(line)) {
            afterMarker = true;
            understood = true;
        } else if (afterMarker) {
            // The repeated passes and the closing block; anything else is never read.
            understood = scriptreader::isItemLine(line) || frameUnderstood(line);
        } else {
            if (scriptreader::isPropertyLine(line) && !scratch.SetProperty(line))
                failed = true;
            if (failed) {
                understood = false;
            } else if (scriptreader::isItemLine(line)) {
                // The reader takes every add line before the marker in, whatever it makes of it.
                itemRow = rows++;
                understood = itemUnderstood(line);
            } else if (scriptreader::isPropertyLine(line)) {
                understood = settingUnderstood(line, scratch);
            } else {
                understood = frameUnderstood(line);
            }
        }
        if (!understood)
            unread.append(Line{number, line.toString(), itemRow});
    }
    return unread;
}

} // namespace readcheck
