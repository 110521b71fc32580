#pragma once

// How a browser reads one item line of a script: "N.add(" followed by string literals
// separated by ", " and closed by ");". Shared by the tests and the fuzzer.
#include <QString>
#include <QStringList>

#include <optional>

namespace jsline {

// The values of the literals as JavaScript sees them (escapes resolved), or nothing when the
// line is anything else, e.g. when a string ends early and the rest would run as code.
inline std::optional<QStringList> addArguments(QStringView line, QStringView name) {
    const QString head = name.toString() + QStringLiteral(".add(");
    if (!line.startsWith(head))
        return std::nullopt;
    qsizetype i = head.size();
    const qsizetype n = line.size();
    QStringList args;
    for (;;) {
        if (i >= n || line[i] != u'\'')
            return std::nullopt;
        ++i;
        QString value;
        for (;;) {
            if (i >= n)
                return std::nullopt; // unterminated
            const QChar c = line[i++];
            if (c == u'\'')
                break;
            if (c == u'\r' || c == u'\n')
                return std::nullopt;
            if (c != u'\\') {
                value += c;
                continue;
            }
            if (i >= n)
                return std::nullopt;
            const QChar e = line[i++];
            switch (e.unicode()) {
            case 'n':
                value += u'\n';
                break;
            case 'r':
                value += u'\r';
                break;
            case 't':
                value += u'\t';
                break;
            case 'b':
                value += u'\b';
                break;
            case 'f':
                value += u'\f';
                break;
            case 'v':
                value += u'\v';
                break;
            case '0':
                value += QChar(0);
                break;
            case 'x':
            case 'u':
                return std::nullopt; // the writer never leaves such escapes
            case '\r':
            case '\n':
                return std::nullopt;
            default:
                value += e;
                break; // \' \\ and any other character stand for themselves
            }
        }
        args << value;
        if (line.mid(i, 2) == u", ") {
            i += 2;
            continue;
        }
        if (line.mid(i) == u");")
            return args;
        return std::nullopt;
    }
}

// What the page shows for a string the script holds between quotes: its escaped quotes as
// quotes, nothing else changed.
inline QString shownText(const QString& held) {
    QString s = held;
    s.replace(QStringLiteral("\\'"), QStringLiteral("'"));
    return s;
}

} // namespace jsline
