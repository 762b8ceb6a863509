#include "Commands.h"
#include "ToolSupport.h"
#include "definitions/FXFile.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"

#include <cstdio>

namespace {
constexpr const char* kUsage = "new STYLE NAME [--wkdir DIR]";
}

int RunNew(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage, {"wkdir"}, 2, 2});
    if (!parsed)
        return kUsageStatus;
    const std::string& styleText = parsed->Positional()[0];
    const std::string& name = parsed->Positional()[1];
    const int style = ParseStyle(styleText);
    if (style == kStyleNone)
        return UsageError(kUsage, "unknown style '" + styleText + "'");
    if (name.empty())
        return UsageError(kUsage, "the name is empty");
    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    const auto type = FXNewType(style, name.c_str());
    if (!FXManager::Instance()->TypeSave(*type)) {
        std::fprintf(stderr, "%s: cannot write %s\n", type->GetName().c_str(),
                     FXTypeFilePath(type->GetName().c_str()).c_str());
        return 1;
    }
    std::printf("%s\n", FXTypeFilePath(type->GetName().c_str()).c_str());
    return 0;
}
