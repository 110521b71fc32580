#pragma once

#include "document.h"
#include "fileio.h"

namespace scriptreader {

struct LoadResult {
    bool ok = true;
    QString error;     // what failed, for a person (which line, what is wrong)
    int itemsRead = 0; // items appended to the document, also on failure
    TextEncoding encoding = TextEncoding::Utf8; // the encoding the file was read in
};

// Reads a script into doc: property lines into the settings, item lines appended to the items,
// up to the first replication marker. Nothing is cleared first, and on a failure everything
// read before it stays. doc.encoding is set to the file's encoding.
LoadResult LoadScroller(const QString& sFile, ScrollerDocument& doc);

// The same over bytes already in memory.
LoadResult LoadScrollerBytes(const QByteArray& bytes, ScrollerDocument& doc);

// What LoadScroller reports when the file itself could not be read.
LoadResult fileFailure(const QString& sFile, const fileio::ReadResult& file);

bool isMarkerLine(QStringView line);
bool isPropertyLine(QStringView line);
bool isItemLine(QStringView line);

} // namespace scriptreader
