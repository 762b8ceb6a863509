#pragma once

// "Choose new fx type": the style of the type File New creates, as one of ten radio buttons
// in a "Type" group. The choice is the index of the button, Spray (0) preselected.

#include <QDialog>

class QButtonGroup;

class SparvDlgType : public QDialog {
    Q_OBJECT

public:
    // Index and label of each button, in the order of the group.
    enum Choice : int {
        kSpray = 0,
        kRing = 1,
        kBeam = 2,
        kTrail = 3,
        kCombo = 4,
        kConditional = 5,
        kSound = 6, // no style of its own: File New keeps the style chosen before
        kLight = 7,
        kHyperspace = 8,
        kLensFlare = 9,
    };
    static constexpr int kChoiceCount = 10;

    explicit SparvDlgType(QWidget* parent = nullptr);

    // The chosen index, 0 to 9; updated when the dialog closes with OK.
    int Choice() const { return m_choice; }
    // Selects the button of choice (0 to 9; other values are ignored).
    void SetChoice(int choice);

    // The FXStyle a choice stands for, or -1 for Sound and for indices out of range.
    static int StyleOfChoice(int choice);

    void accept() override;

private:
    QButtonGroup* m_buttons;
    int m_choice = kSpray;
};
