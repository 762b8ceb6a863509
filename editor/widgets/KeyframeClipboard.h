#pragma once

// Copy and paste of a whole key list through the system clipboard, between properties of
// the same kind.
//
// A copied list travels twice: under our own MIME type ("application/x-sparv-keyframes")
// and as plain text, so it can be read, mailed or edited by hand and pasted back. The text
// form is the property kind's name on the first line, then one key per line: its time and
// its components, separated by spaces, in the locale-free form of FloatField:
//
//   VARTYPE_ARRAY_TIMECOLOUR
//   0 1 1 1 1
//   0.5 1 0.5 0 1
//   1 0 0 0 0
//
// A paste accepts our MIME data first, else plain text of that form. It refuses, with a
// message for the user, a clipboard without keys, keys of another kind, damaged text, and
// lists that do not run in time order from 0 to 1 with at least two keys.

#include "shell/KeyframeValue.h"

#include <QString>
#include <optional>
#include <span>
#include <vector>

class KeyframeClipboard {
public:
    static const QString& MimeType();
    // What the user calls keys of a kind: "number keys", "colour keys", "vector keys".
    static QString KindName(VarType kind);

    template <class T>
    static QString ToText(std::span<const typename KeyframeValue<T>::Key> keys) {
        std::vector<float> numbers;
        numbers.reserve(keys.size() * (1 + KeyframeValue<T>::kComponents));
        for (const auto& key : keys) {
            numbers.push_back(key.time);
            for (int i = 0; i < KeyframeValue<T>::kComponents; ++i)
                numbers.push_back(KeyframeValue<T>::Component(key.value, i));
        }
        return Format(KeyframeValue<T>::kKind, numbers);
    }

    // The keys of T the text holds; nullopt with message saying why not.
    template <class T>
    static std::optional<std::vector<typename KeyframeValue<T>::Key>> FromText(const QString& text,
                                                                               QString& message) {
        const std::optional<std::vector<float>> numbers =
            Parse(text, KeyframeValue<T>::kKind, message);
        if (!numbers)
            return std::nullopt;
        constexpr int width = 1 + KeyframeValue<T>::kComponents;
        std::vector<typename KeyframeValue<T>::Key> keys(numbers->size() / width);
        for (size_t k = 0; k < keys.size(); ++k) {
            const float* row = numbers->data() + k * width;
            keys[k].time = row[0];
            for (int i = 0; i < KeyframeValue<T>::kComponents; ++i)
                KeyframeValue<T>::SetComponent(keys[k].value, i, row[1 + i]);
        }
        return keys;
    }

    // Puts the keys on the system clipboard.
    template <class T>
    static void Copy(std::span<const typename KeyframeValue<T>::Key> keys) {
        Put(ToText<T>(keys));
    }
    // The keys of T on the system clipboard; nullopt with message saying why not.
    template <class T>
    static std::optional<std::vector<typename KeyframeValue<T>::Key>> Paste(QString& message) {
        return FromText<T>(Get(), message);
    }

private:
    // numbers: per key its time and components.
    static QString Format(VarType kind, std::span<const float> numbers);
    // The numbers of a key list of kind (per key its time and components), checked.
    static std::optional<std::vector<float>> Parse(const QString& text, VarType kind,
                                                   QString& message);
    static void Put(const QString& text);
    // Our MIME data when present, else the plain text.
    static QString Get();
};
