#pragma once

#include "appinfo.h"

#include <QString>

// The editor's rules that need no window.
namespace editorrules {

// The title of the window and of every message box.
inline const QString& kAppTitle = appinfo::kAppName;

// The program's numbered messages (101: save to set the project folder; 102: save changes?);
// a null string for a number the table does not hold.
QString stringTable(int id);

// "Tickora Creator - [name]" with a star after the name when there are unsaved changes.
QString caption(const QString& sFilePath, bool bDirty);

// Line breaks as the text field delivers them (LF), as the model holds them (CR LF).
QString toModelLineBreaks(const QString& fieldText);
QString toFieldLineBreaks(const QString& modelText);

// The model's cleanup of an item's text, name or width (modString::ScriptSafe).
QString scriptSafe(const QString& text);

// Why a script must not be saved at this path (it would take the name of a file that stands
// beside every script), or an empty string.
QString reservedNameMessage(const QString& path);

} // namespace editorrules
