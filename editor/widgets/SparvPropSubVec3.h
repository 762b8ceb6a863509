#pragma once

// Edits a vector in three text boxes X, Y and Z.

#include "widgets/SparvPropSub.h"

#include <array>

class SparvPropSubVec3 : public SparvPropSub {
    Q_OBJECT

public:
    explicit SparvPropSubVec3(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;

private:
    std::array<QLineEdit*, 3> m_boxes;
};
