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
            // \' \\ and any other character stand for themselves; the writer never leaves \x
            // or \u escapes, nor a backslash before a line break.
            static const QString from = QStringLiteral("nrtbfv0"),
                                 to = QStringLiteral("\n\r\t\b\f\v") + QChar(0);
            if (e == u'x' || e == u'u' || e == u'\r' || e == u'\n')
                return std::nullopt;
            const qsizetype k = from.indexOf(e);
            value += k < 0 ? e : to[k];
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
