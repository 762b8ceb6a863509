#pragma once

// The colour editor's gradient bar: the upper half shows the colours between the keys, the
// lower half their alpha as greys, each half with a marker per key (the selected one with
// extra lines on both sides). Keys are inserted, selected, dragged and deleted as on every
// key bar (TimeKeyBar); a drag does not report its steps.

#include "shell/KeyframeLink.h"
#include "widgets/TimeKeyBar.h"

class ColourBar : public TimeKeyBar {
    Q_OBJECT

public:
    explicit ColourBar(QWidget* parent);

    void SetKeys(KeyframeLink<Colour>* keys) { SetKeyList(keys); }
    KeyframeLink<Colour>* Keys() const { return static_cast<KeyframeLink<Colour>*>(KeyList()); }

protected:
    bool NotifiesWhileDragging() const override { return false; }
    void paintEvent(QPaintEvent* event) override;
};
