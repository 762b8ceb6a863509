#pragma once

#include "FXVariable.h"

#include <list>
#include <string>

// One property as an FX type lists it: name, one-line help text and current value.
// The FX file reader fills only name and value.
struct FXProperty {
    std::string name;
    std::string description;
    FXVariable value;
};

// Ordered: the order of a type's parameter table, of the editor's property panel and of
// the numbered property tables of an FX file.
using FXPropertyList = std::list<FXProperty>;
