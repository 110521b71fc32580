#include "clsitem.h"

QString clsItem::ToString() const {
    QString s;
    s.reserve(sText.size() + sWidth.size() + sName.size() + 16);
    s += u".add('";
    s += sText;
    s += u"', '";
    s += sWidth;
    s += u"', '";
    s += sName;
    s += u"');";
    return s;
}

void clsItem::SetItem(QStringView sCode) {
    // Pieces 1, 3 and 5 of the line split at every unescaped single quote. An escaped quote
    // "\'" stays inside its piece; scanning from the left without overlap gives the same pieces
    // as replacing each "\'" by a placeholder first, without the placeholder's side effects on
    // other text.
    QString* const targets[] = {&sText, &sWidth, &sName};
    int piece = 0;
    qsizetype start = 0;
    const qsizetype n = sCode.size();
    qsizetype i = 0;
    while (i < n && piece < 6) {
        const QChar c = sCode[i];
        if (c == u'\\' && i + 1 < n && sCode[i + 1] == u'\'') {
            i += 2;
            continue;
        }
        if (c == u'\'') {
            if (piece % 2 == 1)
                *targets[piece / 2] = sCode.mid(start, i - start).toString();
            ++piece;
            start = i + 1;
        }
        ++i;
    }
    // The last piece runs to the end of the line when no further quote closes it.
    if (piece < 6 && piece % 2 == 1)
        *targets[piece / 2] = sCode.mid(start).toString();
}
