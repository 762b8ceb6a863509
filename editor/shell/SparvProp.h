#pragma once

// The property panel in the lower right pane: six sub-editors, one per scalar kind of
// value (float, vector, string, integer, bool, colour), of which at most one is shown.
// It edits a plain value, or one key of a plain array; its apply requests go to the view
// (SetAtKey, SetAtAllKeys), which hands them to the document.

#include "definitions/FXVariable.h"

#include <QString>
#include <QWidget>
#include <array>
#include <string>

class SparvPropSub;

class SparvProp : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSlots = 6;
    static constexpr int kNone = kSlots; // the current slot while nothing is shown

    explicit SparvProp(QWidget* parent);

    // Hides the shown sub-editor; when a value is available, shows the sub-editor of its
    // kind with the property (oneKey: the value is one key of a plain array).
    void Show(int typeIndex, const std::string& name, const FXVariable& value, bool oneKey,
              bool available);
    // Hands a new value to the shown sub-editor; runs Show when nothing is shown, the
    // value is not available or it is of another kind.
    void Refresh(int typeIndex, const std::string& name, const FXVariable& value, bool oneKey,
                 bool available);
    // Hides the shown sub-editor.
    void Clear();

    int CurrentSlot() const { return m_current; }
    SparvPropSub* Shown() const;
    SparvPropSub* SubEditor(int slot) const { return m_editors[static_cast<size_t>(slot)]; }
    // The slot of a value kind, or kNone.
    static int SlotOf(VarType kind);

signals:
    // Messages 0x8003 and 0x8004: set the value at the current key, or at every key.
    void SetAtKey(int typeIndex, const QString& name, const FXVariable& value);
    void SetAtAllKeys(int typeIndex, const QString& name, const FXVariable& value);

private:
    std::array<SparvPropSub*, kSlots> m_editors{};
    int m_current = kNone;
};
