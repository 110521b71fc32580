#pragma once

#include <QByteArray>
#include <QString>

// A copy of a good help file damaged as files are damaged in the field; the kinds of damage the
// structure checks refuse are rows of tests/help/tst_chmcheck.cpp.
inline QByteArray damagedHelp(const QByteArray& good, const QString& how) {
    if (how == u"empty")
        return QByteArray();
    if (how == u"truncated")
        return good.left(good.size() / 2); // a download or copy cut off
    return good;
}

// An earlier build of the help file with its byte 8886 set to 0x9b: its structures hold
// together, and the reading library aborts on it ("double free or corruption").
inline QString abortingHelpFile() {
    return QStringLiteral(TICKORA_SOURCE_DIR "/tests/help/aborting.chm");
}
