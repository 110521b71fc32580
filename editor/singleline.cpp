#include "singleline.h"

#include <algorithm>
#include <utility>

namespace {

bool isLineBreak(QChar c) {
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case u'\v':
    case u'\f':
    case 0x85:   // next line
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return false;
    }
}

} // namespace

QString SingleLineValidator::oneLine(const QString& text, int* pos) {
    QString out;
    out.reserve(text.size());
    bool pendingBreak = false;
    int newPos = -1;
    const qsizetype at = pos ? *pos : -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == at)
            newPos = int(out.size() + (pendingBreak && !out.isEmpty() ? 1 : 0));
        const QChar c = text.at(i);
        if (isLineBreak(c)) {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak && !out.isEmpty())
            out += u' ';
        pendingBreak = false;
        out += c;
    }
    if (pos)
        *pos = newPos < 0 ? int(out.size()) : std::min(newPos, int(out.size()));
    return out;
}

QValidator::State SingleLineValidator::validate(QString& input, int& pos) const {
    for (QChar c : std::as_const(input)) {
        if (isLineBreak(c)) {
            input = oneLine(input, &pos);
            break;
        }
    }
    return Acceptable;
}
