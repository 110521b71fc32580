#include "numberrule.h"

#include <cfenv>
#include <cmath>

namespace numberrule {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<double> parse(QStringView text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    const QStringView t = text.mid(b, e - b);

    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(t[i]))
        ++i, ++digits;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    // toDouble wants "0.5" rather than ".5" on some versions; spell the number out plainly.
    QString plain = t.toString();
    if (plain.startsWith(u'.') || plain.startsWith(u"+.") || plain.startsWith(u"-."))
        plain.insert(plain.indexOf(u'.'), u'0');
    // The syntax is already checked, so a refused conversion is an overflow (Qt gives an
    // infinity) or an underflow (Qt gives 0): both still hold a number.
    bool ok = false;
    return plain.toDouble(&ok);
}

QString scriptNumber(const QString& text) {
    if (!parse(text))
        return text;
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    QString out;
    out.reserve(e - b);
    if (text[b] == u'+' || text[b] == u'-')
        out += text[b++];
    // Keep one zero before a point or at the end: "0.5", "0".
    while (b + 1 < e && text[b] == u'0' && isDigit(text[b + 1]))
        ++b;
    out += QStringView(text).mid(b, e - b);
    return out;
}

std::optional<double> roundHalfEven(double v) {
    if (!std::isfinite(v))
        return std::nullopt;
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

std::optional<qint64> wholeNumberClamped(QStringView text, qint64 lo, qint64 hi) {
    const std::optional<double> v = parse(text);
    if (!v)
        return std::nullopt;
    if (std::isinf(*v))
        return *v > 0 ? hi : lo;
    const double r = *roundHalfEven(*v);
    if (r <= static_cast<double>(lo))
        return lo;
    if (r >= static_cast<double>(hi))
        return hi;
    return static_cast<qint64>(r);
}

} // namespace numberrule
