#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The one rule for "holds a number", shared by the direction conversion, the range checks and
// the script writer: optional blanks (spaces or tabs) around, an optional sign, digits with an
// optional "." fraction (".5" and "5." too), an optional exponent. Nothing else: no thousands
// separators, no comma fraction, no hex, because the value goes into JavaScript as typed.
namespace numberrule {

std::optional<double> parse(QStringView text);

// A setting as the script carries it: a text that holds a number loses its surrounding blanks
// and the leading zeros of its whole part, which JavaScript would read as octal or refuse
// ("0100" is 64 there, "010.5" an error); any other text is returned as it is.
QString scriptNumber(const QString& text);

// Rounds half to even; an infinite value has no whole number.
std::optional<double> roundHalfEven(double v);

// The whole number of a text, rounded half to even and clamped to lo..hi, or nothing when the
// text holds no number.
std::optional<qint64> wholeNumberClamped(QStringView text, qint64 lo, qint64 hi);

} // namespace numberrule
