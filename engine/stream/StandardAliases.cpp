#include "stream/StandardAliases.h"

#include "stream/FilePath.h"

bool AddStandardAliases() {
    return FilePath::AddAlias("data", "hd", 100, FilePathHD::Create("Data\\", 3)) &&
           FilePath::AddAlias("log", "hd", 100, FilePathHD::Create("Logfiles\\", 2)) &&
           FilePath::AddAlias("bin", "hd", 100, FilePathHD::Create("Bin\\", 1)) &&
           FilePath::AddAlias("tool", "hd", 100, new FilePathHDRaw);
}
