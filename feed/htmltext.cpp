#include "htmltext.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace htmltext {

namespace {

const QHash<QString, char32_t>& namedEntities() {
    static const QHash<QString, char32_t> table = {
        {QStringLiteral("amp"), U'&'},      {QStringLiteral("lt"), U'<'},
        {QStringLiteral("gt"), U'>'},       {QStringLiteral("quot"), U'"'},
        {QStringLiteral("apos"), U'\''},    {QStringLiteral("nbsp"), 0xA0},
        {QStringLiteral("ndash"), 0x2013},  {QStringLiteral("mdash"), 0x2014},
        {QStringLiteral("lsquo"), 0x2018},  {QStringLiteral("rsquo"), 0x2019},
        {QStringLiteral("sbquo"), 0x201A},  {QStringLiteral("ldquo"), 0x201C},
        {QStringLiteral("rdquo"), 0x201D},  {QStringLiteral("bdquo"), 0x201E},
        {QStringLiteral("hellip"), 0x2026}, {QStringLiteral("bull"), 0x2022},
        {QStringLiteral("middot"), 0xB7},   {QStringLiteral("laquo"), 0xAB},
        {QStringLiteral("raquo"), 0xBB},    {QStringLiteral("copy"), 0xA9},
        {QStringLiteral("reg"), 0xAE},      {QStringLiteral("trade"), 0x2122},
        {QStringLiteral("euro"), 0x20AC},   {QStringLiteral("pound"), 0xA3},
        {QStringLiteral("yen"), 0xA5},      {QStringLiteral("cent"), 0xA2},
        {QStringLiteral("deg"), 0xB0},      {QStringLiteral("times"), 0xD7},
        {QStringLiteral("divide"), 0xF7},   {QStringLiteral("auml"), 0xE4},
        {QStringLiteral("ouml"), 0xF6},     {QStringLiteral("uuml"), 0xFC},
        {QStringLiteral("Auml"), 0xC4},     {QStringLiteral("Ouml"), 0xD6},
        {QStringLiteral("Uuml"), 0xDC},     {QStringLiteral("szlig"), 0xDF},
        {QStringLiteral("eacute"), 0xE9},   {QStringLiteral("egrave"), 0xE8},
        {QStringLiteral("agrave"), 0xE0},   {QStringLiteral("ccedil"), 0xE7},
        {QStringLiteral("ntilde"), 0xF1},   {QStringLiteral("shy"), 0xAD},
        {QStringLiteral("zwj"), 0x200D},    {QStringLiteral("zwnj"), 0x200C},
    };
    return table;
}

bool isSpace(QChar c) {
    return c.isSpace() || c == QChar(0x2028) || c == QChar(0x2029);
}

// Tags whose content is never text.
bool isHiddenBlock(const QString& name) {
    static const QSet<QString> names = {QStringLiteral("script"),  QStringLiteral("style"),
                                        QStringLiteral("head"),    QStringLiteral("template"),
                                        QStringLiteral("iframe"),  QStringLiteral("object"),
                                        QStringLiteral("noscript")};
    return names.contains(name);
}

bool isInlineKept(const QString& name) {
    static const QSet<QString> names = {
        QStringLiteral("b"),      QStringLiteral("i"),     QStringLiteral("em"),
        QStringLiteral("strong"), QStringLiteral("code"),  QStringLiteral("sub"),
        QStringLiteral("sup"),    QStringLiteral("small"), QStringLiteral("mark"),
        QStringLiteral("s"),      QStringLiteral("u")};
    return names.contains(name);
}

// Walks an HTML fragment; text goes to onText (decoded), tags to onTag(name, closing).
template <class TextFn, class TagFn> void walk(const QString& html, TextFn onText, TagFn onTag) {
    const qsizetype n = html.size();
    qsizetype i = 0;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty()) {
            onText(run);
            run.clear();
        }
    };
    while (i < n) {
        const QChar c = html[i];
        if (c == u'&') {
            qsizetype len = 0;
            const QString decoded = decodeEntity(html, i, &len);
            if (!decoded.isNull()) {
                run += decoded;
                i += len;
            } else {
                run += c;
                ++i;
            }
            continue;
        }
        const bool tagStart = c == u'<' && i + 1 < n &&
                              (html[i + 1].isLetter() || html[i + 1] == u'/' ||
                               html[i + 1] == u'!' || html[i + 1] == u'?');
        if (!tagStart) {
            run += c;
            ++i;
            continue;
        }
        if (html.mid(i, 4) == u"<!--") {
            const qsizetype end = html.indexOf(QStringLiteral("-->"), i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype close = html.indexOf(u'>', i);
        if (close < 0) {
            // An unclosed tag runs to the end; nothing of it is text.
            i = n;
            break;
        }
        const bool closing = html[i + 1] == u'/';
        qsizetype s = i + (closing ? 2 : 1);
        qsizetype e = s;
        while (e < close && (html[e].isLetterOrNumber() || html[e] == u'-' || html[e] == u':'))
            ++e;
        const QString name = html.mid(s, e - s).toLower();
        i = close + 1;
        if (!closing && isHiddenBlock(name)) {
            const qsizetype end = html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
            if (end < 0) {
                i = n;
            } else {
                const qsizetype gt = html.indexOf(u'>', end);
                i = gt < 0 ? n : gt + 1;
            }
            continue;
        }
        flush();
        onTag(name, closing);
    }
    flush();
}

bool isBlockBreak(const QString& name) {
    static const QSet<QString> names = {
        QStringLiteral("br"),         QStringLiteral("p"),  QStringLiteral("div"),
        QStringLiteral("li"),         QStringLiteral("tr"), QStringLiteral("td"),
        QStringLiteral("h1"),         QStringLiteral("h2"), QStringLiteral("h3"),
        QStringLiteral("h4"),         QStringLiteral("h5"), QStringLiteral("h6"),
        QStringLiteral("blockquote"), QStringLiteral("hr"), QStringLiteral("ul"),
        QStringLiteral("ol"),         QStringLiteral("img")};
    return names.contains(name);
}

} // namespace

QString decodeEntity(const QString& text, qsizetype pos, qsizetype* length) {
    const qsizetype semi = text.indexOf(u';', pos + 1);
    if (semi < 0 || semi - pos > 12)
        return {};
    const QStringView body = QStringView(text).mid(pos + 1, semi - pos - 1);
    char32_t code = 0;
    if (body.startsWith(u'#')) {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const uint v = body.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return {};
        code = v;
    } else {
        const auto it = namedEntities().constFind(body.toString());
        if (it == namedEntities().constEnd())
            return {};
        code = *it;
    }
    *length = semi - pos + 1;
    return QString::fromUcs4(&code, 1);
}

QString collapseSpace(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (isSpace(c) || c.category() == QChar::Other_Control) {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += u' ';
        space = false;
        out += c;
    }
    return out;
}

QString toPlainText(const QString& html) {
    QString out;
    walk(
        html, [&](const QString& t) { out += t; },
        [&](const QString& name, bool) {
            if (isBlockBreak(name))
                out += u' ';
        });
    return collapseSpace(out);
}

QString escape(const QString& text) {
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        case u'\\':
            out += u"&#92;";
            break;
        case 0x2028:
            out += u"&#8232;";
            break;
        case 0x2029:
            out += u"&#8233;";
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += u' ';
            else
                out += c;
        }
    }
    return out;
}

QString toSafeInline(const QString& html) {
    QString out;
    QList<QString> open;
    bool space = false; // collapse white space across text runs
    walk(
        html,
        [&](const QString& t) {
            for (const QChar c : t) {
                if (isSpace(c) || c.category() == QChar::Other_Control) {
                    space = !out.isEmpty();
                    continue;
                }
                if (space)
                    out += u' ';
                space = false;
                out += escape(QString(c));
            }
        },
        [&](const QString& name, bool closing) {
            if (isBlockBreak(name)) {
                space = !out.isEmpty();
                return;
            }
            if (!isInlineKept(name))
                return;
            if (!closing) {
                if (space)
                    out += u' ';
                space = false;
                out += u'<' + name + u'>';
                open << name;
                return;
            }
            // A closing tag closes what is open down to its opening; a stray one is dropped.
            const qsizetype at = open.lastIndexOf(name);
            if (at < 0)
                return;
            while (open.size() > at)
                out += QStringLiteral("</") + open.takeLast() + u'>';
        });
    while (!open.isEmpty())
        out += QStringLiteral("</") + open.takeLast() + u'>';
    return out;
}

QString cut(const QString& text, int max) {
    if (max <= 0)
        return {};
    if (text.size() <= max)
        return text;
    qsizetype at = max - 1; // room for the ellipsis
    if (at > 0 && text[at - 1].isHighSurrogate())
        --at;
    const qsizetype space = text.lastIndexOf(u' ', at);
    if (space > max / 2)
        at = space;
    QString out = text.left(at);
    while (!out.isEmpty() && out.back() == u' ')
        out.chop(1);
    return out + QChar(0x2026);
}

} // namespace htmltext
