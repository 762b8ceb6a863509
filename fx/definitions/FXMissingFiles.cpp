#include "FXMissingFiles.h"

#include "FXType.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <filesystem>

std::vector<FXMissingFile> FXFindMissingFiles(const FXType& type) {
    std::vector<std::string> children;
    type.GetChildTypes(children);
    std::vector<FXMissingFile> missing;
    for (const auto& param : type.Params()) {
        if (param->Kind() != VARTYPE_STRING)
            continue;
        FXVariable value;
        param->Read(value);
        const std::string text = value.String();
        if (text.empty() || std::find(children.begin(), children.end(), text) != children.end())
            continue;
        std::string host;
        std::error_code ignored;
        if (!FilePath::ConvertFromAlias(text, host) ||
            !std::filesystem::is_regular_file(host, ignored))
            missing.push_back({param->Name(), text});
    }
    return missing;
}
