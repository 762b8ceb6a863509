#pragma once

// The vector editor's panel (group "Value"): X, Y and Z of the selected key, which apply
// as they are typed, and its time, shown only (a key's time changes by dragging it on the
// bar). Edited reports typing in X, Y or Z that reads as three numbers; EditFinished the
// end of the typing (Enter, or the focus leaving a field). A field left holding no number
// gets the key's value back.

#include <QWidget>

class FloatField;

class TimeVector3Dlg : public QWidget {
    Q_OBJECT

public:
    explicit TimeVector3Dlg(QWidget* parent);

    // Shows a key; reports nothing.
    void SetKey(float time, float x, float y, float z);
    void EnableFields(bool enabled);
    bool FieldsEnabled() const;
    // The numbers typed into X, Y and Z; false when one of them is not a number.
    bool Read(float& x, float& y, float& z) const;

    FloatField* XField() const { return m_x; }
    FloatField* YField() const { return m_y; }
    FloatField* ZField() const { return m_z; }
    FloatField* TimeField() const { return m_time; }

signals:
    void Edited();
    void EditFinished();

private:
    FloatField* m_x;
    FloatField* m_y;
    FloatField* m_z;
    FloatField* m_time;
    bool m_updating = false;
    // The key's values as last shown, to put back into a field left without a number.
    float m_shown[3] = {0.0f, 0.0f, 0.0f};
};
