#pragma once

#include "chmcheck.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// Copies of a good help file damaged as files are damaged in the field.
inline QByteArray damagedHelp(const QByteArray& good, const QString& how) {
    if (how == u"empty")
        return QByteArray();
    if (how == u"truncated")
        return good.left(good.size() / 2); // a download or copy cut off
    if (how == u"header only")
        return good.left(0x60);
    if (how == u"random bytes") {
        QByteArray noise(good.size(), Qt::Uninitialized);
        QRandomGenerator rng(20261206);
        for (char& c : noise)
            c = char(rng.bounded(256));
        return noise;
    }
    if (how == u"reset table") {
        // The byte that made the reading library abort in an earlier build of the help file
        // (tests/help/aborting.chm): the second byte of the second block's start in the
        // compression's reset table, set to 0x9b.
        QByteArray bytes = good;
        const qint64 table = help::chmcheck::storedOffset(
            good, "::DataSpace/Storage/MSCompressed/Transform/"
                  "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
        if (table >= 0)
            bytes[table + 49] = char(0x9b);
        return bytes;
    }
    return good;
}

// An earlier build of the help file with its byte 8886 set to 0x9b: its structures hold
// together, and the reading library aborts on it ("double free or corruption").
inline QString abortingHelpFile() {
    return QStringLiteral(TICKORA_SOURCE_DIR "/tests/help/aborting.chm");
}
