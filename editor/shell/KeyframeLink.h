#pragma once

// A keyframe link: the go-between that binds one time-keyed property to a keyframe editor.
// It holds the working copy of the property's keys, which the editor changes through the
// operations below; each change calls Changed(), where the final links
// (KeyframeFloatLink, KeyframeColourLink, KeyframeVector3Link) write the keys back into
// their property. The template itself is bound to nothing: Changed(), BeginGesture() and
// EndGesture() do nothing here.
//
// T is float (curves), Colour (colour gradients: red, green, blue, alpha) or Vector3.
// The full contract (changes, gestures, replacement from outside, lifetime) is in
// KeyframeLinkBase.h. In short, for a final link:
//   - bind: Reload(property value) (ReloadFrom answers whether it was of the link's kind);
//   - override Changed(): StoreInto(the property value), then hand it to the document;
//   - override BeginGesture(label) / EndGesture() to make one undo step of a gesture;
//   - when the property changed from outside (undo, redo): Reload(the new value).

#include "shell/KeyframeLinkBase.h"
#include "shell/KeyframeValue.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

template <class T>
class KeyframeLink : public KeyframeLinkBase {
public:
    using ValueType = T;
    using Traits = KeyframeValue<T>;
    using Key = typename Traits::Key;

    explicit KeyframeLink(QObject* parent = nullptr) : KeyframeLinkBase(parent) {}

    VarType Kind() const final { return Traits::kKind; }
    const std::vector<Key>& Keys() const { return m_keys; }

    int Count() const final { return static_cast<int>(m_keys.size()); }
    float Time(int index) const final { return InRange(index) ? At(index).time : 0.0f; }
    // The value of key index; T{} for an index out of range.
    T Value(int index) const { return InRange(index) ? At(index).value : T{}; }

    // Sets key index to (time, value). The caller keeps the keys in order.
    void Set(int index, float time, const T& value) {
        if (!InRange(index))
            return;
        BeforeChange();
        At(index) = Key{time, value};
        Changed();
    }
    void SetTime(int index, float time) final {
        if (InRange(index))
            Set(index, time, At(index).value);
    }
    void SetValue(int index, const T& value) {
        if (InRange(index))
            Set(index, At(index).time, value);
    }

    // Inserts (time, value) after every key whose time is less than or equal to time;
    // returns its index.
    int Insert(float time, const T& value) {
        const auto place = std::upper_bound(m_keys.begin(), m_keys.end(), time,
                                            [](float t, const Key& key) { return t < key.time; });
        BeforeChange();
        const auto inserted = m_keys.insert(place, Key{time, value});
        const int index = static_cast<int>(inserted - m_keys.begin());
        Changed();
        return index;
    }

    int InsertInterpolated(float time) final {
        const auto after = std::upper_bound(m_keys.begin(), m_keys.end(), time,
                                            [](float t, const Key& key) { return t < key.time; });
        if (after == m_keys.begin() || after == m_keys.end())
            return -1;
        const Key& before = *(after - 1);
        const float f = (time - before.time) / (after->time - before.time);
        return Insert(time, KeyframeBlend(before.value, after->value, f));
    }

    void Erase(int index) final {
        if (!InRange(index))
            return;
        BeforeChange();
        m_keys.erase(m_keys.begin() + index);
        Changed();
    }

    void EraseSet(const std::vector<int>& indices) final {
        std::vector<bool> doomed(m_keys.size(), false);
        bool any = false;
        for (const int index : indices)
            if (InRange(index)) {
                doomed[static_cast<size_t>(index)] = true;
                any = true;
            }
        if (!any)
            return;
        BeforeChange();
        size_t kept = 0;
        for (size_t i = 0; i < m_keys.size(); ++i)
            if (!doomed[i])
                m_keys[kept++] = m_keys[i];
        m_keys.resize(kept);
        Changed();
    }

    // Replaces the whole list in one change (a group move or scale, a paste). The caller
    // keeps the keys in order.
    void Assign(std::vector<Key> keys) {
        BeforeChange();
        m_keys = std::move(keys);
        Changed();
    }

    // Takes keys changed from outside: no Changed(); KeysReplaced() unless they equal the
    // working copy.
    void Reload(std::span<const Key> keys) {
        if (std::equal(keys.begin(), keys.end(), m_keys.begin(), m_keys.end()))
            return;
        m_keys.assign(keys.begin(), keys.end());
        emit KeysReplaced();
    }
    // Reload from a property value; false (and the keys emptied) when the value is of
    // another kind.
    bool ReloadFrom(const FXVariable& value) {
        const bool ofKind = value.GetType() == Traits::kKind;
        Reload(ofKind ? Traits::Keys(value) : std::span<const Key>());
        return ofKind;
    }
    // Writes the working copy into value, which becomes of the link's kind.
    void StoreInto(FXVariable& value) const { Traits::Store(value, m_keys); }

private:
    bool InRange(int index) const { return index >= 0 && index < Count(); }
    Key& At(int index) { return m_keys[static_cast<size_t>(index)]; }
    const Key& At(int index) const { return m_keys[static_cast<size_t>(index)]; }

    std::vector<Key> m_keys;
};
