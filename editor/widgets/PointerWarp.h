#pragma once

// Moving the mouse pointer by program. Some editors pull the pointer back onto a key that
// stopped at a limit, or keep it at an anchor while it pans. Not every display server lets
// a program move the pointer (Wayland does not, and the offscreen platform has none), so
// every such editor also works from relative motion alone; the warp is a nicety on top.

#include <QPoint>

class QWidget;

namespace PointerWarp {

// Whether the pointer can be moved on this platform (or as a test decided).
bool Available();
// Overrides the platform's answer (tests turn warping off so that no real pointer motion
// mixes with the events they send); Reset returns to the platform's answer.
void SetAvailable(bool available);
void Reset();
// Moves the pointer to point of widget when available; true when it was moved.
bool MoveTo(const QWidget& widget, QPoint point);

} // namespace PointerWarp
