#pragma once

// Whole files in and out, for tests that set up and inspect what lies on disk.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct ScriptItem {
    QByteArray name, text, width;
};

// `count` items named A, B, C, ... with the texts "text A", ... and, if asked, the widths 10, 11,
// ...
inline QList<ScriptItem> letteredItems(int count, bool widths = false) {
    QList<ScriptItem> out;
    for (int i = 0; i < count; ++i)
        out.append({QByteArray(1, char('A' + i)), "text " + QByteArray(1, char('A' + i)),
                    widths ? QByteArray::number(10 + i) : QByteArray()});
    return out;
}

// A script of the scroller "s" going in direction `type`; the reader gives its items the keys
// Item0, Item1, ...
inline QByteArray itemsScript(int type, const QList<ScriptItem>& items) {
    QByteArray script =
        "s = new Tickora();\r\ns.name = 's';\r\ns.type = " + QByteArray::number(type) + ";\r\n";
    for (const ScriptItem& i : items)
        script += "s.add('" + i.text + "', '" + i.width + "', '" + i.name + "');\r\n";
    return script;
}
