#include "clsitem.h"

QString clsItem::ToString() const {
    QString s;
    s.reserve(stringLength());
    appendTo(s);
    return s;
}

void clsItem::appendTo(QString& s) const {
    s += u".add('";
    s += sText;
    s += u"', '";
    s += sWidth;
    s += u"', '";
    s += sName;
    s += u"');";
}

void clsItem::SetItem(QStringView sCode) {
    // Pieces 1, 3 and 5 of the line split at every single quote that is not escaped. A quote
    // right after a backslash is always the escape "\'", so the pieces can be cut in one scan,
    // without a placeholder that could clash with the text.
    QString* const targets[] = {&sText, &sWidth, &sName};
    int piece = 0;
    qsizetype start = 0;
    qsizetype from = 0;
    while (piece < 6) {
        const qsizetype q = sCode.indexOf(u'\'', from);
        if (q < 0)
            break;
        from = q + 1;
        if (q > 0 && sCode[q - 1] == u'\\')
            continue;
        if (piece % 2 == 1)
            *targets[piece / 2] = sCode.mid(start, q - start).toString();
        ++piece;
        start = q + 1;
    }
    // The last piece runs to the end of the line when no further quote closes it.
    if (piece < 6 && piece % 2 == 1)
        *targets[piece / 2] = sCode.mid(start).toString();
}
