#pragma once

// Edits an integer in a read-only text box with up and down arrows beside it, which step
// the number by one within 0 to 10.

#include "widgets/SparvPropSub.h"

class QToolButton;

class SparvPropSubInteger : public SparvPropSub {
    Q_OBJECT

public:
    static constexpr int kLowest = 0;
    static constexpr int kHighest = 10;

    explicit SparvPropSubInteger(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;
    // One step of the arrows: +1 up, -1 down.
    void Step(int direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_text;
    QWidget* m_arrows;
    QToolButton* m_up;
    QToolButton* m_down;
};
