#pragma once

// Edits a string (an effect or file name) in one text box, with a "Browse" button that
// picks a file below the working directory and applies its aliased path at once.

#include "widgets/SparvPropSub.h"

class SparvPropSubString : public SparvPropSub {
    Q_OBJECT

public:
    explicit SparvPropSubString(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;
    void Browse();

    // The chooser's filter for a path: files of its extension first, then all files.
    static QString FilterFor(const QString& path);

private:
    QLineEdit* m_text;
};
