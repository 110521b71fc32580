#pragma once

#include <QValidator>

// Keeps a one-line field on one line, whether the text is typed, pasted, dropped or set from
// code: a script setting or name holding a line break would break the script line it goes into.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;

    // Line breaks at either end go; a run of them between words becomes one space, so pasted
    // words stay apart and a pasted number with a stray break inside is still seen by its check.
    static QString oneLine(const QString& text, int* pos = nullptr);

    State validate(QString& input, int& pos) const override;
};
