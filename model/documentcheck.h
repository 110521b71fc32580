#pragma once

#include "document.h"

#include <QList>

// The editor's checks applied to a whole document, for documents that did not come through the
// editor's fields (tickora-script, scripts from elsewhere).
namespace documentcheck {

struct Problem {
    QString field;   // as tickora-script's JSON names it: "width", "items[2].text"
    QString message; // for a person
};

// Every value the editor's checks would refuse and every item string that would end early or
// break the script; at most one problem per field.
QList<Problem> ruleProblems(const ScrollerDocument& doc);

// ruleProblems(), or when there are none, every value that would not read back from the
// script as asWritten() holds it (text no encoding of the file can carry). Empty for a
// document that is safe to write.
QList<Problem> problems(const ScrollerDocument& doc);

} // namespace documentcheck
