#pragma once

// The curve window: a scrollable grid showing a time-keyed float property as a polyline
// through its keys, where keys are inserted, selected, dragged, moved and scaled in groups
// and deleted (see TimeValueController for the mouse and keyboard). It owns its view (the
// mapping and scrolling), its selection and its controller, and tells its parent through
// Notify:
//   0  the keys or the selection changed
//   1  the wheel turned away from the user (the editor halves the value scale)
//   2  the wheel turned towards the user (the editor doubles it)
//   3  F was pressed (the editor fits the scales to the keys)
//
// The window paints everything on every change; its background is never erased
// separately, and Qt's backing store makes every paint one copy to the screen.

#include "shell/KeyframeLink.h"
#include "widgets/TimeValueController.h"
#include "widgets/TimeValueSelection.h"
#include "widgets/TimeValueView.h"

#include <QAbstractScrollArea>
#include <QPointer>

class TimeValueWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr QRgb kBackground = 0xFFF0F0F0;
    static constexpr QRgb kRange = 0xFFFFFFFF;
    static constexpr QRgb kGroup = 0xFF00FFFF;
    static constexpr QRgb kBand = 0xFFADFFAF;
    static constexpr QRgb kGrid = 0xFFCFCFCF;
    static constexpr QRgb kSelectedKey = 0xFFFF0000;
    static constexpr QRgb kKey = 0xFF000000;

    explicit TimeValueWnd(QWidget* parent);
    ~TimeValueWnd() override;

    // The key list shown and edited (null: none). The window forgets a list when it is
    // destroyed, and follows it when its keys are replaced from outside.
    void SetKeys(KeyframeLink<float>* keys);
    KeyframeLink<float>* Keys() const { return m_keys; }

    TimeValueView& View() { return m_view; }
    const TimeValueView& View() const { return m_view; }
    TimeValueSelection& Selection() { return m_selection; }
    TimeValueController& Controller() { return m_controller; }

    // Called before the window is shown or hidden: no selection, no drag.
    void PrepareForShowing();
    // New scales or range: the single selected key (if any) is centred, the scroll bars
    // recomputed, the window repainted. Scales are greater than 0.
    void ApplyScales(float timeScale, float valueScale);
    void ApplyRange(float timeMin, float timeMax, float valueMin, float valueMax);
    // Selects exactly key index and scrolls it into view.
    void SelectKey(int index);
    // The box-mode toggle (the B key flips it and reports BoxLatchToggled).
    void SetBoxLatch(bool on);

    // Scrolling by cells (columns to the right, rows up), keeping the bars in step.
    void ScrollColumns(int delta);
    void ScrollRows(int delta);

signals:
    void Notify(int code);
    void BoxLatchToggled(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Changed();
    void KeysReplaced();
    void UpdateScrollBars();
    void CentreOnSelectedKey();
    void Paint(QPainter& painter) const;

    TimeValueView m_view;
    TimeValueSelection m_selection;
    TimeValueController m_controller;
    QPointer<KeyframeLink<float>> m_keys;
    bool m_updatingBars = false;
};
