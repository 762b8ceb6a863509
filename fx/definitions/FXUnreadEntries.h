#pragma once

// The entries of a file's table-valued properties that reading passes over in silence.
//
// Arrays of vectors and colours, and time-keyed vectors and colours, are tables whose
// entries are read as entry_00, entry_01, ... up to the first missing number. Entries
// under any other key (a hand-written Lua array { {...}, {...} }, "entry_1", or anything
// after a gap) are not read, and a table without entry_00 reads as an empty array. That
// is the file format; this finds where a file relies on something else.

#include <string>
#include <vector>

struct FXUnreadEntries {
    std::string property;            // the property's name, as the file gives it
    size_t read = 0;                 // entries taken: entry_00 up to the first missing one
    std::vector<std::string> unread; // the keys passed over, in table order
};

// The properties of a type's file with entries that are not read. Empty when there are
// none, and when the file does not load or is not an FX file (reading says why).
std::vector<FXUnreadEntries> FXFindUnreadEntries(const char* typeName);
