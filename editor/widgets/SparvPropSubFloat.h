#pragma once

// Edits a float in one text box.

#include "widgets/SparvPropSub.h"

class SparvPropSubFloat : public SparvPropSub {
    Q_OBJECT

public:
    explicit SparvPropSubFloat(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;

private:
    QLineEdit* m_text;
};
