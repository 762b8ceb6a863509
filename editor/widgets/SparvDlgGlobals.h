#pragma once

// The vector dialog of the Gravity and Wind commands: X, Y and Z of one global vector, under
// the caption the caller gives.

#include <QDialog>

class FloatField;

class SparvDlgGlobals : public QDialog {
    Q_OBJECT

public:
    // caption: the window title ("Gravity" or "Wind"). The vector starts at 0, 0, 0.
    SparvDlgGlobals(QWidget* parent, const QString& caption);

    // Shows x, y, z in the fields.
    void SetValues(float x, float y, float z);
    // The vector; the fields are read into it when the dialog closes with OK.
    float X() const { return m_x; }
    float Y() const { return m_y; }
    float Z() const { return m_z; }

    // Keeps the dialog open when a field does not hold a number.
    void accept() override;

private:
    FloatField* m_xField;
    FloatField* m_yField;
    FloatField* m_zField;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_z = 0.0f;
};
