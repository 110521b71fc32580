#include "modparser.h"

namespace modParser {

QStringView trimSpaces(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

QStringView propNameView(QStringView line) {
    const qsizetype dot = line.indexOf(u'.');
    if (dot < 0 || dot == line.size() - 1)
        return {};
    const qsizetype eq = line.indexOf(u'=', dot + 1);
    if (eq < 0)
        return {};
    return trimSpaces(line.mid(dot + 1, eq - dot - 1));
}

QString GetPropName(QStringView line) {
    return propNameView(line).toString();
}

bool GetPropValue(QStringView line, QString* value) {
    QStringView v;
    if (!propValueView(line, &v))
        return false;
    *value = v.toString();
    return true;
}

bool propValueView(QStringView line, QStringView* value) {
    const qsizetype last = line.size() - 1;
    const qsizetype single = line.indexOf(u'\'');
    const qsizetype dbl = line.indexOf(u'"');
    qsizetype open;
    qsizetype close;
    if (single < 0 && dbl < 0) {
        open = line.indexOf(u'='); // -1 when absent: the value starts at the line's beginning
        close = line.indexOf(u';');
        if (close < 0)
            close = last;
        else if (close < open)
            return false;
    } else {
        const QChar q = (dbl < 0 || (single >= 0 && single < dbl)) ? u'\'' : u'"';
        open = line.indexOf(q);
        close = line.lastIndexOf(q);
        if (close == open)
            close = last;
    }
    // A line that ends at its opening mark has an empty value.
    const qsizetype len = close - open - 1;
    *value = len > 0 ? line.mid(open + 1, len) : QStringView();
    return true;
}

} // namespace modParser
