#include "fieldrules.h"

#include "numberrule.h"

#include <QSet>

namespace fieldrules {

Bounds bounds(NumericField f) {
    switch (f) {
    case NumericField::ScrWidth:
    case NumericField::ScrHeight:
    case NumericField::ScrDefWidth:
    case NumericField::ItmWidth:
        return {10, 2000, 10};
    case NumericField::ScrSpeed:
        return {5, 1000, 10};
    case NumericField::ScrSpacing:
        return {0, 50, 1};
    case NumericField::ScrPause:
        return {0, 50000, 100};
    }
    return {0, 0, 1};
}

QString rangeMessage(const Bounds& b) {
    return QStringLiteral("Please Enter A Value Between %1 And %2").arg(b.min).arg(b.max);
}

QString rangeProblem(QStringView text, const Bounds& b) {
    return inRange(text, b) ? QString() : rangeMessage(b);
}

QString rangeProblem(QStringView text, NumericField f) {
    return rangeProblem(text, bounds(f));
}

bool inRange(QStringView text, const Bounds& b) {
    if (text.isEmpty())
        return true;
    const std::optional<double> v = numberrule::parse(text);
    return v && *v >= b.min && *v <= b.max;
}

QString CheckVariableName(QStringView sText) {
    if (sText.isEmpty())
        return QStringLiteral("Scroller name must not be blank.");
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (isDigit(sText.front()))
        return QStringLiteral("Scroller name must not start with a number.");
    for (QChar c : sText) {
        const bool ok =
            isDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        if (!ok)
            return QStringLiteral("Scroller name must contain only alphanumeric characters.");
    }
    if (isTakenName(sText))
        return QStringLiteral("Scroller name must not be \"%1\", a name that JavaScript or the web "
                              "page already uses.")
            .arg(sText);
    return {};
}

bool isTakenName(QStringView name) {
    // The script makes the name a variable of the page: a reserved word breaks the script, and
    // a name the browser or the runtime already holds is replaced, read-only, or navigates the
    // page away.
    static const QSet<QString> taken = [] {
        static const char* const names[] = {
#include "takennames.inc"
        };
        QSet<QString> s;
        for (const char* n : names)
            s.insert(QString::fromLatin1(n));
        return s;
    }();
    return taken.contains(name.toString());
}

} // namespace fieldrules
