#pragma once

#include <QString>

// The program's numbered strings: the messages the document asks with, which a help popup may
// also name by number.
namespace stringtable {

enum Id : int {
    kSaveForFolder = 101, // "Save the scroller to set project folder. ..."
    kSaveChanges = 102,   // "Do you want to save the changes?"
};

// The string of a number; a null string for a number the table does not hold.
QString text(int id);

} // namespace stringtable
