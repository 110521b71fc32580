#include "textrules.h"

namespace modString {

namespace {

bool isLineSeparator(QChar c) {
    return c == QChar(0x2028) || c == QChar(0x2029);
}

} // namespace

QString EscapeQuotes(const QString& text) {
    if (!text.contains(u'\''))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < n && text[i + 1] == u'\'') {
            out += u"\\'";
            ++i;
        } else if (c == u'\'') {
            out += u"\\'";
        } else {
            out += c;
        }
    }
    return out;
}

QString LineBreaksToBr(const QString& text) {
    if (!text.contains(u"\r\n"))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return out;
}

QString ScriptSafe(const QString& text) {
    if (scriptStringProblem(text).isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            out += u"<br>";
        } else if (isLineSeparator(c)) {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        } else if (c == u'\\') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                out += u"\\'";
                ++i;
            } else {
                out += u"&#92;";
            }
        } else if (c == u'\'') {
            out += u"\\'";
        } else {
            out += c;
        }
    }
    return out;
}

QString scriptStringProblem(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || isLineSeparator(c))
            return QStringLiteral("A line break must be written as <br>.");
        if (c == u'\\') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                ++i;
                continue;
            }
            return QStringLiteral("A backslash that does not escape a quote (\\') must be "
                                  "written as &#92;.");
        }
        if (c == u'\'')
            return QStringLiteral("A single quote must be escaped as \\'.");
    }
    return {};
}

QString excerpt(QStringView value) {
    constexpr qsizetype kShown = 40;
    if (value.size() <= kShown)
        return QStringLiteral("\"%1\"").arg(value);
    // Never cut a surrogate pair in half.
    qsizetype cut = kShown - 8;
    if (value[cut - 1].isHighSurrogate())
        --cut;
    return QStringLiteral("\"%1\"... (%2 characters)").arg(value.left(cut)).arg(value.size());
}

} // namespace modString
