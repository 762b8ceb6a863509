#pragma once

// The lower-left pane of the preview's splitter, home of the keyframe editors (the curve,
// colour and vector editors, child widgets of this pane). At most one editor is shown at a
// time, filling the pane; while none is shown the pane is dark grey with the words
// "Space for rent".

#include <QWidget>

class SparvKeyframeEditors : public QWidget {
    Q_OBJECT

public:
    static constexpr QRgb kEmptyColour = 0xFF252525; // RGB 37, 37, 37

    explicit SparvKeyframeEditors(QWidget* parent);

    // Whether one of the editors (the pane's child widgets) is shown.
    bool AnyEditorVisible() const;
    // Hides every editor.
    void HideAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
