#pragma once

// The lower-left pane of the preview's splitter, home of the keyframe editors: the curve
// editor (time-keyed floats), the colour editor (time-keyed colours) and the vector
// editor (time-keyed vectors), child widgets of this pane created by CreateEditors. At
// most one editor is shown at a time, filling the pane; while none is shown the pane is
// dark grey with the words "Space for rent".
//
// Selecting a time-keyed property: HideAll(); ShowEditor(kind, true); bind the link of
// that kind to the property; AttachFloat / AttachColour / AttachVector3(link). The pane
// points to the links and never owns them (see KeyframeLinkBase.h).

#include "math/Math.h"

#include <QWidget>

class ColourEditor;
class TimeValueEditor;
class Vector3Editor;
template <class T>
class KeyframeLink;

class SparvKeyframeEditors : public QWidget {
    Q_OBJECT

public:
    static constexpr QRgb kEmptyColour = 0xFF252525; // RGB 37, 37, 37
    enum Editor : int { kTimeValue = 0, kColour = 1, kVector3 = 2 };

    explicit SparvKeyframeEditors(QWidget* parent);

    // Creates the three editors, hidden; once, after the pane exists. Always true (Qt
    // widgets cannot fail to be created); a second call changes nothing.
    bool CreateEditors();
    TimeValueEditor* TimeValue() const { return m_timeValue; }
    ColourEditor* ColourKeys() const { return m_colour; }
    Vector3Editor* VectorKeys() const { return m_vector3; }

    // Hands a link (null: none) to the editor of its kind, when that editor exists.
    void AttachFloat(KeyframeLink<float>* link);
    void AttachColour(KeyframeLink<Colour>* link);
    void AttachVector3(KeyframeLink<Vector3>* link);

    // Shows or hides one editor (Editor); the curve editor's selection is cleared first.
    void ShowEditor(int editor, bool show);
    // Whether one of the editors (the pane's child widgets) is shown.
    bool AnyEditorVisible() const;
    // Hides every editor.
    void HideAll();

signals:
    // A notice of an editor for the status line (what was copied, why a paste was refused).
    void Message(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TimeValueEditor* m_timeValue = nullptr;
    ColourEditor* m_colour = nullptr;
    Vector3Editor* m_vector3 = nullptr;
};
