#include "Commands.h"
#include "FxJson.h"
#include "ToolSupport.h"
#include "definitions/FXFile.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "dump --raw FILE | dump NAME [--wkdir DIR] | dump --style STYLE [--wkdir DIR]";

// One property as an object: name, type, the description when asked for, and value.
void WriteProperty(JsonWriter& json, const FXProperty& property, bool description) {
    json.BeginObject()
        .Key("name")
        .String(property.name)
        .Key("type")
        .String(VarTypeName(property.value.GetType()));
    if (description)
        json.Key("description").String(property.description);
    WriteVariableJson(json.Key("value"), property.value);
    json.EndObject();
}

int DumpRaw(const std::string& file) {
    int style = kStyleNone;
    FXPropertyList properties;
    std::string reason;
    if (!FXReadFile(file.c_str(), style, properties, &reason)) {
        if (reason.empty())
            std::fprintf(stderr, "%s: cannot read FX file\n", file.c_str());
        else
            std::fprintf(stderr, "%s: cannot read FX file: %s\n", file.c_str(), reason.c_str());
        return 1;
    }
    JsonWriter json;
    json.BeginObject().Key("style").String(FXStyleName(style)).Key("properties").BeginArray();
    for (const FXProperty& property : properties)
        WriteProperty(json, property, false);
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
    return 0;
}

void DumpType(const FXType& type) {
    std::vector<std::string> children;
    type.GetChildTypes(children);
    FXPropertyList properties;
    type.GetProperties(properties);

    JsonWriter json;
    json.BeginObject()
        .Key("name")
        .String(type.GetName())
        .Key("style")
        .String(FXStyleName(type.GetStyle()))
        .Key("duration")
        .Number(type.GetDuration())
        .Key("children")
        .BeginArray();
    for (const std::string& child : children)
        json.String(child);
    json.EndArray().Key("properties").BeginArray();
    for (const FXProperty& property : properties)
        WriteProperty(json, property, true);
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

} // namespace

int ParseStyle(const std::string& text) {
    const int exact = FXStyleFromName(text.c_str());
    if (exact != kStyleNone)
        return exact;
    const std::string wanted = "style_" + FXLowerCase(text.c_str());
    for (int style = 0; style < kStyleCount; ++style)
        if (FXLowerCase(FXStyleName(style)) == wanted)
            return style;
    return kStyleNone;
}

int RunDump(const std::vector<std::string>& args) {
    const auto parsed = ParseToolArgs(args, {kUsage, {"wkdir", "style"}, 0, 1});
    if (!parsed)
        return kUsageStatus;
    const auto& positional = parsed->Positional();
    if (parsed->Flag("raw")) {
        if (positional.size() != 1)
            return UsageError(kUsage);
        ToolEnvironment environment(parsed->Value("wkdir"));
        return environment.Ok() ? DumpRaw(positional[0]) : 1;
    }
    const auto styleText = parsed->Value("style");
    if (styleText ? !positional.empty() : positional.size() != 1)
        return UsageError(kUsage);
    ToolEnvironment environment(parsed->Value("wkdir"));
    if (!environment.Ok())
        return 1;
    if (styleText) {
        const int style = ParseStyle(*styleText);
        if (style == kStyleNone)
            return UsageError(kUsage, "unknown style '" + *styleText + "'");
        DumpType(*FXNewType(style, "untitled"));
        return 0;
    }
    const FXType* type = FXManager::Instance()->TypeFind(positional[0].c_str());
    if (!type) {
        std::fprintf(stderr, "%s: cannot find FX type (and no \"badfx\" type to stand in)\n",
                     positional[0].c_str());
        return 1;
    }
    DumpType(*type);
    return 0;
}
