#include "FXFile.h"

#include "FXStyle.h"
#include "script/LuaConfig.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr size_t kNameBufferSize = 256;
constexpr size_t kKeyBufferSize = 1024;
constexpr size_t kStringValueSize = 4096;

// Components of colours read from files are clamped to 0..1; a NaN becomes 0.
float ClampUnit(float v) {
    return v > 1.0f ? 1.0f : (v >= 0.0f ? v : 0.0f);
}

Colour ClampedColour(const float* c) {
    return {ClampUnit(c[0]), ClampUnit(c[1]), ClampUnit(c[2]), ClampUnit(c[3])};
}

// Reads the entry tables entry_00, entry_01, ... of the current table up to the first
// missing one; every entry must hold exactly `width` numbers.
template <typename Element, typename Make>
bool ReadEntries(LuaConfig& config, size_t width, std::vector<Element>& out, Make make) {
    std::vector<float> numbers;
    for (size_t index = 0;; ++index) {
        const std::string key = FXNumberedKey("entry_", index);
        if (config.GetType(key.c_str()) == LUATYPE_NIL)
            return true;
        if (!config.GetFloatArray(key.c_str(), numbers) || numbers.size() != width)
            return false;
        out.push_back(make(numbers.data()));
    }
}

class Reader {
public:
    explicit Reader(std::string* reason) : m_reason(reason) {}

    bool Fail(const std::string& why) {
        if (m_reason)
            *m_reason = why;
        return false;
    }

    bool ReadValue(LuaConfig& config, VarType type, FXVariable& value) {
        std::vector<float> numbers;
        double number = 0.0;
        switch (type) {
        case VARTYPE_FLOAT:
            if (!config.GetDouble("value", &number))
                return Fail("value is not a number");
            value.SetFloat(static_cast<float>(number));
            return true;
        case VARTYPE_BOOL:
            if (!config.GetDouble("value", &number))
                return Fail("value is not a number");
            value.SetBool(number != 0.0);
            return true;
        case VARTYPE_INT:
            if (!config.GetDouble("value", &number))
                return Fail("value is not a number");
            number = std::trunc(number);
            if (!(number >= std::numeric_limits<int32_t>::min() &&
                  number <= std::numeric_limits<int32_t>::max()))
                return Fail("value is not a 32-bit integer");
            value.SetInt(static_cast<int32_t>(number));
            return true;
        case VARTYPE_VECTOR3:
            if (!config.GetFloatArray("value", numbers) || numbers.size() != 3)
                return Fail("value is not an array of 3 numbers");
            value.SetVector3({numbers[0], numbers[1], numbers[2]});
            return true;
        case VARTYPE_STRING: {
            char text[kStringValueSize];
            if (!config.GetString("value", text, sizeof text))
                return Fail("value is not a string of at most 4095 characters");
            value.SetString(text);
            return true;
        }
        case VARTYPE_COLOUR:
            if (!config.GetFloatArray("value", numbers) || numbers.size() != 4)
                return Fail("value is not an array of 4 numbers");
            value.SetColour(ClampedColour(numbers.data()));
            return true;
        case VARTYPE_ARRAY_FLOAT:
            if (!config.GetFloatArray("value", numbers))
                return Fail("value is not an array of numbers");
            value.SetArrayFloat(numbers);
            return true;
        case VARTYPE_ARRAY_TIMEFLOAT: {
            if (!config.GetFloatArray("value", numbers))
                return Fail("value is not an array of numbers");
            std::vector<TimeFloat> keys(numbers.size() / 2);
            for (size_t i = 0; i < keys.size(); ++i)
                keys[i] = {numbers[2 * i], numbers[2 * i + 1]};
            value.SetArrayTimeFloat(keys);
            return true;
        }
        default:
            return ReadEntryValue(config, type, value);
        }
    }

    bool ReadEntryValue(LuaConfig& config, VarType type, FXVariable& value) {
        if (config.GetType("value") != LUATYPE_TABLE)
            return Fail("value is not a table");
        config.PushTable("value");
        bool ok = false;
        switch (type) {
        case VARTYPE_ARRAY_VECTOR3: {
            std::vector<Vector3> items;
            ok = ReadEntries(config, 3, items, [](const float* n) {
                return Vector3{n[0], n[1], n[2]};
            });
            if (ok)
                value.SetArrayVector3(items);
            break;
        }
        case VARTYPE_ARRAY_COLOUR: {
            std::vector<Colour> items;
            ok = ReadEntries(config, 4, items, ClampedColour);
            if (ok)
                value.SetArrayColour(items);
            break;
        }
        case VARTYPE_ARRAY_TIMEVECTOR3: {
            std::vector<TimeVector3> items;
            ok = ReadEntries(config, 4, items, [](const float* n) {
                return TimeVector3{n[0], {n[1], n[2], n[3]}};
            });
            if (ok)
                value.SetArrayTimeVector3(items);
            break;
        }
        case VARTYPE_ARRAY_TIMECOLOUR: {
            std::vector<TimeColour> items;
            ok = ReadEntries(config, 5, items, [](const float* n) {
                return TimeColour{n[0], ClampedColour(n + 1)};
            });
            if (ok)
                value.SetArrayTimeColour(items);
            break;
        }
        default:
            break;
        }
        config.PopTable();
        return ok ? true : Fail("value has a malformed entry");
    }

    bool ReadProperty(LuaConfig& config, const char* key, FXPropertyList& properties) {
        config.PushTable(key);
        const bool ok = ReadPropertyBody(config, key, properties);
        config.PopTable();
        return ok;
    }

    bool ReadPropertyBody(LuaConfig& config, const char* key, FXPropertyList& properties) {
        char name[kNameBufferSize];
        char typeName[kNameBufferSize];
        VarType type = VARTYPE_NONE;
        if (!config.GetString("name", name, sizeof name))
            return Fail(std::string("property ") + key + ": name is not a string");
        if (!config.GetString("type", typeName, sizeof typeName))
            return Fail(std::string("property ") + name + ": type is not a string");
        if (!VarTypeFromName(typeName, type))
            return Fail(std::string("property ") + name + ": unknown type '" + typeName + "'");
        FXProperty property;
        property.name = name;
        if (!ReadValue(config, type, property.value)) {
            if (m_reason)
                *m_reason = "property " + property.name + ": " + *m_reason;
            return false;
        }
        properties.push_back(std::move(property));
        return true;
    }

    bool ReadFx(LuaConfig& config, int& style, FXPropertyList& properties) {
        char styleName[kNameBufferSize];
        if (!config.GetString("style", styleName, sizeof styleName))
            return Fail("fx.style is not a string");
        const int index = FXStyleFromName(styleName);
        if (index == kStyleNone)
            return Fail(std::string("unknown style '") + styleName + "'");
        if (config.GetType("frames") == LUATYPE_TABLE) {
            config.PushTable("frames");
            std::vector<float> timeStart;
            const bool framesOk = config.GetFloatArray("timeStart", timeStart);
            config.PopTable();
            if (!framesOk)
                return Fail("fx.frames has no timeStart array");
        }
        if (config.GetType("properties") != LUATYPE_TABLE)
            return Fail("fx.properties is not a table");
        config.PushTable("properties");
        bool ok = true;
        char key[kKeyBufferSize] = {0};
        LuaType entryType = LUATYPE_NIL;
        while (ok && config.NextEntry(key, sizeof key, &entryType)) {
            if (entryType != LUATYPE_TABLE)
                ok = Fail(std::string("property ") + key + " is not a table");
            else
                ok = ReadProperty(config, key, properties);
        }
        config.PopTable();
        if (ok)
            style = index;
        return ok;
    }

private:
    std::string* m_reason;
};

} // namespace

std::string FXNumberedKey(const char* prefix, size_t index) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", index);
    return prefix + std::string(number);
}

std::string& FXPathPrefix() {
    static std::string prefix = "DATA:ART/FX/";
    return prefix;
}

std::string FXTypeFilePath(const char* typeName) {
    return FXPathPrefix() + (typeName ? typeName : "") + ".lua";
}

namespace {

// Reads the fx table of a script that loaded (or failed to load: loaded is false).
bool ReadLoaded(LuaConfig& config, bool loaded, int& style, FXPropertyList& properties,
                std::string* reason) {
    if (!loaded) {
        if (reason)
            *reason = config.LastError();
        return false;
    }
    return FXReadTable(config, "fx", style, properties, reason);
}

} // namespace

bool FXReadTable(LuaConfig& config, const char* key, int& style, FXPropertyList& properties,
                 std::string* reason) {
    style = kStyleNone;
    properties.clear();
    Reader reader(reason);
    if (config.GetType(key) != LUATYPE_TABLE)
        return reader.Fail(std::string("no table '") + key + "'");
    config.PushTable(key);
    const bool ok = reader.ReadFx(config, style, properties);
    config.PopTable();
    if (!ok)
        properties.clear();
    return ok;
}

bool FXReadFile(const char* path, int& style, FXPropertyList& properties, std::string* reason) {
    style = kStyleNone;
    properties.clear();
    LuaConfig config("");
    const bool loaded = config.LoadFile(path);
    return ReadLoaded(config, loaded, style, properties, reason);
}

bool FXReadText(const char* text, size_t length, const char* chunkName, int& style,
                FXPropertyList& properties, std::string* reason) {
    style = kStyleNone;
    properties.clear();
    LuaConfig config("");
    const std::string name = std::string("=") + (chunkName ? chunkName : "text");
    const bool loaded = config.LoadString(text, length, name.c_str());
    return ReadLoaded(config, loaded, style, properties, reason);
}

bool FXReadTypeFile(const char* typeName, int& style, FXPropertyList& properties,
                    std::string* reason) {
    return FXReadFile(FXTypeFilePath(typeName).c_str(), style, properties, reason);
}

namespace {

void WriteValue(LuaConfig& config, const FXVariable& value) {
    std::vector<double> numbers;
    auto writeEntries = [&](auto items, auto flatten) {
        config.AddTable("value");
        for (size_t i = 0; i < items.size(); ++i) {
            numbers.clear();
            flatten(items[i]);
            config.SetNumberArray(FXNumberedKey("entry_", i).c_str(), numbers.data(),
                                  numbers.size());
        }
        config.PopTable();
    };
    auto pushColour = [&](const Colour& c) { numbers.insert(numbers.end(), {c.r, c.g, c.b, c.a}); };
    auto pushVector = [&](const Vector3& v) { numbers.insert(numbers.end(), {v.x, v.y, v.z}); };

    switch (value.GetType()) {
    case VARTYPE_FLOAT:
        config.SetNumber("value", value.GetFloat());
        break;
    case VARTYPE_BOOL:
        config.SetNumber("value", value.GetBool() ? 1.0 : 0.0);
        break;
    case VARTYPE_INT:
        config.SetNumber("value", value.GetInt());
        break;
    case VARTYPE_STRING:
        config.SetString("value", value.String());
        break;
    case VARTYPE_VECTOR3: {
        Vector3 v;
        value.GetVector3(v);
        pushVector(v);
        config.SetNumberArray("value", numbers.data(), numbers.size());
        break;
    }
    case VARTYPE_COLOUR: {
        Colour c;
        value.GetColour(c);
        pushColour(c);
        config.SetNumberArray("value", numbers.data(), numbers.size());
        break;
    }
    case VARTYPE_ARRAY_FLOAT:
        numbers.assign(value.Floats().begin(), value.Floats().end());
        config.SetNumberArray("value", numbers.data(), numbers.size());
        break;
    case VARTYPE_ARRAY_TIMEFLOAT:
        for (const TimeFloat& key : value.TimeFloats())
            numbers.insert(numbers.end(), {key.time, key.value});
        config.SetNumberArray("value", numbers.data(), numbers.size());
        break;
    case VARTYPE_ARRAY_VECTOR3:
        writeEntries(value.Vector3s(), pushVector);
        break;
    case VARTYPE_ARRAY_COLOUR:
        writeEntries(value.Colours(), pushColour);
        break;
    case VARTYPE_ARRAY_TIMEVECTOR3:
        writeEntries(value.TimeVector3s(), [&](const TimeVector3& key) {
            numbers.push_back(key.time);
            pushVector(key.value);
        });
        break;
    case VARTYPE_ARRAY_TIMECOLOUR:
        writeEntries(value.TimeColours(), [&](const TimeColour& key) {
            numbers.push_back(key.time);
            pushColour(key.value);
        });
        break;
    case VARTYPE_NONE:
        break;
    }
}

} // namespace

void FXAddTable(LuaConfig& config, const char* key, int style, const FXPropertyList& properties) {
    config.AddTable(key);
    config.SetString("style", FXStyleName(style));
    config.AddTable("properties");
    size_t index = 0;
    for (const FXProperty& property : properties) {
        config.AddTable(FXNumberedKey("property_", index++).c_str());
        config.SetString("name", property.name.c_str());
        config.SetString("type", VarTypeName(property.value.GetType()));
        WriteValue(config, property.value);
        config.PopTable();
    }
    config.PopTable();
    config.PopTable();
}

bool FXWriteFile(const char* path, int style, const FXPropertyList& properties, std::string* reason,
                 bool durable) {
    LuaConfig config("");
    FXAddTable(config, "fx", style, properties);
    if (!config.StartSave(path)) {
        if (reason)
            *reason = config.LastError().empty() ? "cannot create file" : config.LastError();
        return false;
    }
    config.SaveVar("fx", 0, LuaSaveLayout::Indented);
    if (!config.EndSave(durable)) {
        if (reason)
            *reason = config.LastError().empty() ? "cannot write file" : config.LastError();
        return false;
    }
    return true;
}

bool FXWriteTypeFile(const char* typeName, int style, const FXPropertyList& properties,
                     std::string* reason, bool durable) {
    return FXWriteFile(FXTypeFilePath(typeName).c_str(), style, properties, reason, durable);
}
