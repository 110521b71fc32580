#pragma once

#include <QString>
#include <QStringView>

// The checks of the editor's fields that need no window, shared by the editor and the
// command-line tool.
namespace fieldrules {

enum class NumericField {
    ScrWidth,
    ScrHeight,
    ScrSpeed,
    ScrDefWidth,
    ScrSpacing,
    ScrPause,
    ItmWidth
};

struct Bounds {
    int min;
    int max;
    int step;
};

Bounds bounds(NumericField f);

// "Please Enter A Value Between 10 And 2000"
QString rangeMessage(const Bounds& b);

// Empty text is accepted (the setting is left out of the script); otherwise the text must hold
// a number within min..max.
bool inRange(QStringView text, const Bounds& b);

// The range message when the text is out of range, or an empty string.
QString rangeProblem(QStringView text, const Bounds& b);
QString rangeProblem(QStringView text, NumericField f);

// The first rule the name breaks, as the message to show, or an empty string for a usable
// script variable name.
QString CheckVariableName(QStringView sText);

// Whether the name is a reserved word of JavaScript or a name the page already uses.
bool isTakenName(QStringView name);

} // namespace fieldrules
