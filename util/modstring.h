#pragma once

#include "textrules.h"

#include <QString>

// Path arithmetic of the editor. Pure string functions; neither touches the file system.
namespace modString {

// The folder part of a path, without its closing separator; "/" and "\" both separate, except
// in a POSIX path (one that starts with "/"), where a backslash belongs to a name.
QString GetFolder(const QString& sPath);

// The address that reaches sFile from a page in sFolder, relative where both lie on the same
// drive (or, for POSIX paths, both are absolute); otherwise a file URL. A backslash is a
// separator in drive paths only.
QString GetRelativeUrl(const QString& sFolder, const QString& sFile);

} // namespace modString
