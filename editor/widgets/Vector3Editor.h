#pragma once

// The vector keyframe editor: the panel (TimeVector3Dlg) with X, Y, Z and the time of the
// selected key, above the key bar (KeyframeBar), at fixed places. Selecting or dragging a
// key on the bar shows it in the panel; typing X, Y or Z sets the selected key's vector at
// once, one undo step per field edit. The keyframe host creates one and hands it the
// vector link of the selected property with SetKeys.

#include "shell/KeyframeLink.h"
#include "widgets/KeyframeEditorWidget.h"

class KeyframeBar;
class TimeVector3Dlg;

class Vector3Editor : public KeyframeEditorWidget {
    Q_OBJECT

public:
    // The bar's place: (20, 152) to (700, 169), right and bottom not included.
    static constexpr int kBarLeft = 20;
    static constexpr int kBarTop = 152;
    static constexpr int kBarRight = 700;
    static constexpr int kBarBottom = 169;

    explicit Vector3Editor(QWidget* parent);
    ~Vector3Editor() override;

    // The key list to show and edit (null: none); the panel shows the selected key.
    void SetKeys(KeyframeLink<Vector3>* keys);
    KeyframeLink<Vector3>* Keys() const;

    KeyframeBar* Bar() const { return m_bar; }
    TimeVector3Dlg* Panel() const { return m_panel; }

    void CopyKeys() override;
    void PasteKeys() override;

private:
    void FromBar();
    void FromPanel();

    KeyframeBar* m_bar;
    TimeVector3Dlg* m_panel;
};
