#include "textrules.h"

namespace modString {

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

} // namespace modString
