#pragma once

#include "document.h"

#include <QStringList>

namespace scriptwriter {

// The project files that stand beside every saved script, in the order they are copied.
QStringList projectFiles();

// How many passes of the item list the script repeats to fill the box.
qint64 passCount(const ScrollerDocument& doc);

// The document as its script carries it, and as reading the script gives it back: numeric
// settings are written without leading zeros and surrounding blanks (numberrule::scriptNumber).
ScrollerDocument asWritten(const ScrollerDocument& doc);

// The whole script, without the CR LF that ends its last line.
QString BuildScript(const ScrollerDocument& doc);

struct SaveResult {
    bool written = true;    // false: the script could not be written (see writeError)
    QString writeError;     // what failed, for a person: the path and the system's reason
    QStringList copyErrors; // one description per project file that was not copied
    QStringList keptFiles;  // project files left as they were, because the user changed them
    TextEncoding encoding = TextEncoding::Utf8; // the encoding the script was written in
};

// Writes the script to sFile (see fileio::writeFile; nothing is written when sFile is empty), then
// copies the project files from the application folder into the project folder, unless the project
// folder is empty or is the application folder. A tickora.htm there that the user changed is kept
// (projectpage.h).
SaveResult SaveScroller(const QString& sFile, const ScrollerDocument& doc,
                        const QString& sProjectFolder, const QString& sAppFolder);

// Copies one file, replacing the destination. Returns an empty string, or what failed.
QString CopyFileQuiet(const QString& source, const QString& destination);

// Whether two folder paths name the same directory, as the file system decides it.
bool sameDirectory(const QString& a, const QString& b);

} // namespace scriptwriter
