#pragma once

// A small JSON writer for the command-line tools: one compact object per line, numbers
// written locale-independently (floats in their shortest exact form, non-finite as
// null), strings escaped.

#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view value);
    JsonWriter& Number(float value);
    JsonWriter& Number(double value);
    JsonWriter& Integer(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();

    std::string m_text;
    // Per open container: whether it already holds an element.
    std::vector<bool> m_hasElement;
    bool m_afterKey = false;
};
