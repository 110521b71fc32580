#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Which lines of a script a save would not give back: lines the reader skips or cannot take in,
// so that writing the document over the file would lose them.
namespace readcheck {

struct Line {
    int number = 0;   // 1-based, as an editor counts them
    QString text;     // without its line end and without surrounding spaces
    int itemRow = -1; // the row of the list an add line still put an item in, else -1
};

// The lines of the file that the document read from it does not carry. Empty lines, the
// replication markers, the repeated passes and the closing block are understood; after a line
// the reader fails on, that line and every non-empty line after it are listed.
QList<Line> unreadLines(const QByteArray& bytes);

} // namespace readcheck
