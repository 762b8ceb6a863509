#pragma once

// The curve editor's side panel: the grid's scales, the selected key's time and value with
// a key counter and previous / next arrows, the allowed value range, and the box-mode
// toggle. It tells its parent through Notify:
//   0  key time or value entered        1  scales entered        2  range entered
//   3  previous key                     4  next key
//   5  fit the view to the keys
//
// Enter acts on the field that has the focus. Reading the panel checks every field: the
// scales lie within 0.000001 to 20000, the key's time within the time range; the key's
// value is clamped into the value range. A field that fails shows a message and keeps the
// focus for correction, and nothing is sent.

#include <QWidget>

class FloatField;
class QLabel;
class QToolButton;

class TimeValueDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr float kMinimumScale = 0.000001f;
    static constexpr float kMaximumScale = 20000.0f;

    explicit TimeValueDlg(QWidget* parent);

    void SetScales(float timeScale, float valueScale);
    void SetRange(float timeMin, float timeMax, float valueMin, float valueMax);
    void SetKey(float time, float value);
    // The Time and Value fields take input only while exactly one key is selected.
    void EnableKeyFields(bool enabled);
    bool KeyFieldsEnabled() const;
    // "number of count": the selected key's number (from 1) and the key count.
    void SetCounter(int number, int count);
    // The box-mode toggle's state, without sending BoxModeToggled.
    void SetBoxMode(bool on);

    // Reads every field (see above); false, with the message shown, when one fails.
    bool Read();
    float TimeMin() const { return m_timeMin; }
    float TimeMax() const { return m_timeMax; }
    float ValueMin() const { return m_valueMin; }
    float ValueMax() const { return m_valueMax; }
    float KeyTime() const { return m_keyTime; }
    float KeyValue() const { return m_keyValue; }
    float TimeScale() const { return m_timeScale; }
    float ValueScale() const { return m_valueScale; }

signals:
    void Notify(int code);
    void BoxModeToggled(bool on);

private:
    void EnterInValueMin();
    void EnterInValueMax();
    bool Refuse(FloatField* field, const QString& message);

    FloatField* m_timeScaleField;
    FloatField* m_valueScaleField;
    FloatField* m_timeField;
    FloatField* m_valueField;
    FloatField* m_valueMaxField;
    FloatField* m_valueMinField;
    QToolButton* m_previous;
    QToolButton* m_next;
    QLabel* m_number;
    QLabel* m_count;
    QToolButton* m_boxMode;
    QToolButton* m_fit;

    float m_timeMin = 0.0f;
    float m_timeMax = 1.0f;
    float m_valueMin = 0.0f;
    float m_valueMax = 10000.0f;
    float m_keyTime = 0.0f;
    float m_keyValue = 0.0f;
    float m_timeScale = 0.025f;
    float m_valueScale = 1.0f;
    bool m_keyValueClamped = false; // the last Read clamped the typed key value
};
