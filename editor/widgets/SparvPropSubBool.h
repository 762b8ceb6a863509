#pragma once

// Edits a bool with one check box.

#include "widgets/SparvPropSub.h"

class QCheckBox;

class SparvPropSubBool : public SparvPropSub {
    Q_OBJECT

public:
    explicit SparvPropSubBool(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;

private:
    QCheckBox* m_check;
};
