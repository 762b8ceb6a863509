#pragma once

// The files a type's properties name that do not exist. Every string property that is
// neither empty nor one of the type's child types names a file (a texture, a mesh, a
// flare definition), as an aliased or host path below the working directory.

#include <string>
#include <vector>

class FXType;

struct FXMissingFile {
    std::string property; // the property's name
    std::string file;     // the file as the property gives it
};

// The properties of type, in parameter order, whose file does not exist.
std::vector<FXMissingFile> FXFindMissingFiles(const FXType& type);
