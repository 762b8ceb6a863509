#pragma once

// The vector editor's key bar: a white bar with a diamond per key, the selected one between
// two chevrons. Keys are inserted, selected, dragged and deleted as on every key bar
// (TimeKeyBar); a drag reports each step, so the panel shows the key's time as it moves.

#include "shell/KeyframeLink.h"
#include "widgets/TimeKeyBar.h"

class KeyframeBar : public TimeKeyBar {
    Q_OBJECT

public:
    explicit KeyframeBar(QWidget* parent);

    void SetKeys(KeyframeLink<Vector3>* keys) { SetKeyList(keys); }
    KeyframeLink<Vector3>* Keys() const { return static_cast<KeyframeLink<Vector3>*>(KeyList()); }

protected:
    bool NotifiesWhileDragging() const override { return true; }
    void paintEvent(QPaintEvent* event) override;
};
