#pragma once

// The colour keyframe editor: the picker panel (ColourPickDlg) for the selected key above
// the gradient bar (ColourBar), at fixed places. Selecting a key on the bar shows its
// colour in the picker; every change in the picker recolours the selected key, one undo
// step per edit (a chooser drag, an arrow press, typing in a field until Enter or the
// focus leaves). The keyframe host creates one and hands it the colour link of the
// selected property with SetKeys.

#include "shell/KeyframeLink.h"
#include "widgets/KeyframeEditorWidget.h"

class ColourBar;
class ColourPickDlg;

class ColourEditor : public KeyframeEditorWidget {
    Q_OBJECT

public:
    // The bar's place: (20, 152) to (700, 192), right and bottom not included.
    static constexpr int kBarLeft = 20;
    static constexpr int kBarTop = 152;
    static constexpr int kBarRight = 700;
    static constexpr int kBarBottom = 192;

    explicit ColourEditor(QWidget* parent);
    ~ColourEditor() override;

    // The key list to show and edit (null: none); the picker shows the selected key.
    void SetKeys(KeyframeLink<Colour>* keys);
    KeyframeLink<Colour>* Keys() const;

    ColourBar* Bar() const { return m_bar; }
    ColourPickDlg* Picker() const { return m_picker; }

    void CopyKeys() override;
    void PasteKeys() override;

private:
    void FromBar();
    void FromPicker();

    ColourBar* m_bar;
    ColourPickDlg* m_picker;
};
