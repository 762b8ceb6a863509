#pragma once

// The curve editor of a time-keyed float property: the side panel (TimeValueDlg, 160
// pixels wide on the left) and the curve window (TimeValueWnd, the rest), with the
// routing of their notifications between them. The keyframe host creates one, hands it
// the float link of the selected property with SetKeys, and shows it while such a
// property is selected.

#include "shell/KeyframeLink.h"
#include "widgets/KeyframeEditorWidget.h"

class QScrollArea;
class TimeValueDlg;
class TimeValueWnd;

class TimeValueEditor : public KeyframeEditorWidget {
    Q_OBJECT

public:
    static constexpr int kPanelWidth = 160;
    static constexpr float kInitialTimeScale = 0.025f;
    static constexpr float kInitialValueScale = 1.0f;

    explicit TimeValueEditor(QWidget* parent);
    ~TimeValueEditor() override;

    // The key list to show and edit (null: none); the panel shows the new state.
    void SetKeys(KeyframeLink<float>* keys);
    KeyframeLink<float>* Keys() const;
    // Called by the host before it shows or hides the editor.
    void ClearSelection();

    TimeValueWnd* CurveWindow() const { return m_curve; }
    TimeValueDlg* Panel() const { return m_panel; }

    // Scales and scrolls the curve window so that the whole time range and every key's
    // value are in view, on steps of 1, 2, 2.5 or 5 times a power of ten; the panel shows the
    // new scales. Nothing happens without keys or without room for two cells each way.
    void FitToKeys();

    void CopyKeys() override;
    void PasteKeys() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FromPanel(int code);
    void FromCurve(int code);
    // Moves the selection by step keys (0: refreshes the panel).
    void StepSelection(int step);
    void ApplyValueScale(float factor);

    TimeValueWnd* m_curve;
    TimeValueDlg* m_panel;
    QScrollArea* m_panelArea;
};
