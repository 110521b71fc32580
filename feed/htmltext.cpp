#include "htmltext.h"

#include <QList>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace htmltext {

namespace {

struct NamedEntity {
    const char* name;
    char32_t first;
    char32_t second;
    bool legacy; // also taken without its semicolon
};

// HTML's named character references, sorted by name.
const NamedEntity kNamedEntities[] = {
#include "htmlentities.inc"
};

const NamedEntity* findEntity(QStringView name) {
    if (name.isEmpty())
        return nullptr;
    const QByteArray key = name.toLatin1();
    const auto* end = std::end(kNamedEntities);
    const auto* it = std::lower_bound(
        std::begin(kNamedEntities), end, key,
        [](const NamedEntity& e, const QByteArray& k) { return std::strcmp(e.name, k) < 0; });
    return it != end && key == it->name ? it : nullptr;
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

QString fromCodes(char32_t first, char32_t second) {
    const char32_t codes[] = {first, second};
    return QString::fromUcs4(codes, second ? 2 : 1);
}

// What a browser makes of &#N; and &#xN;: C1 codes as Windows-1252 means them, and anything
// that is no character as U+FFFD.
char32_t numericCharacter(quint64 v) {
    static const char16_t c1[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                    0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                    0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
    if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0xFFFD;
    if (v >= 0x80 && v <= 0x9F)
        return c1[v - 0x80];
    return char32_t(v);
}

bool isSpace(QChar c) {
    return c.isSpace() || c == QChar(0x2028) || c == QChar(0x2029);
}

// Tags whose content a browser never shows. An <object>'s content is its fallback, shown.
bool isHiddenBlock(const QString& name) {
    static const QSet<QString> names = {QStringLiteral("script"), QStringLiteral("style"),
                                        QStringLiteral("head"),   QStringLiteral("template"),
                                        QStringLiteral("iframe"), QStringLiteral("noscript"),
                                        QStringLiteral("title")};
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
            if (end < 0 && name == u"head")
                continue; // inside a body a browser ignores a stray <head> start tag
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

QString namedEntity(QStringView name) {
    const NamedEntity* e = findEntity(name);
    return e ? fromCodes(e->first, e->second) : QString();
}

QString decodeEntity(const QString& text, qsizetype pos, qsizetype* length) {
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    if (i < n && text[i] == u'#') {
        const bool hex = i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X');
        i += hex ? 2 : 1;
        const qsizetype digits = i;
        quint64 v = 0;
        for (; i < n; ++i) {
            const int d = digitValue(text[i], hex ? 16 : 10);
            if (d < 0)
                break;
            v = std::min<quint64>(v * (hex ? 16 : 10) + quint64(d), 0x110000);
        }
        if (i == digits)
            return {}; // "&#" or "&#x" without digits is text
        if (i < n && text[i] == u';')
            ++i;
        *length = i - pos;
        const char32_t c = numericCharacter(v);
        return QString::fromUcs4(&c, 1);
    }
    while (i < n && i - pos <= 32 && text[i].unicode() < 0x80 && text[i].isLetterOrNumber())
        ++i;
    const QStringView name = QStringView(text).mid(pos + 1, i - pos - 1);
    if (i < n && text[i] == u';') {
        if (const NamedEntity* e = findEntity(name)) {
            *length = i - pos + 1;
            return fromCodes(e->first, e->second);
        }
    }
    // Without the semicolon a browser takes the longest of the old names the text begins with.
    for (qsizetype len = std::min<qsizetype>(name.size(), 6); len >= 2; --len) {
        const NamedEntity* e = findEntity(name.left(len));
        if (e && e->legacy) {
            *length = len + 1;
            return fromCodes(e->first, e->second);
        }
    }
    return {};
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
