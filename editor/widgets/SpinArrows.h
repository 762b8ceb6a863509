#pragma once

// A pair of small up and down arrows beside a text field (its buddy), holding an integer
// within a range. Pressing an arrow (and holding it: repeatedly) steps the number in the
// buddy by one, starting from what the buddy shows, and writes it back into the buddy,
// whose text change then carries the edit. Released reports the end of each press.

#include <QTimer>
#include <QWidget>

class QLineEdit;
class QToolButton;

class SpinArrows : public QWidget {
    Q_OBJECT

public:
    SpinArrows(QLineEdit* buddy, QWidget* parent);

    void SetRange(int minimum, int maximum);
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    // Writes position (kept in the range) into the buddy.
    void SetPosition(int position);
    QToolButton* Up() const { return m_up; }
    QToolButton* Down() const { return m_down; }

signals:
    void Released();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step(int delta);

    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    QTimer m_repeat;
    int m_delta = 0; // the held arrow's step
};
