#include "widgets/TimeValueWnd.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <array>
#include <vector>

namespace {

// The four handle images, 16 by 16: a round knob (move) and arrows to the right, up and
// up-right (scale), dark on a light blue ground.
const QImage& HandleImage(int handle) {
    static const std::array<QImage, 4> images = [] {
        std::array<QImage, 4> made;
        const int size = TimeValueController::kHandleSize;
        for (int i = 0; i < 4; ++i) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(173, 216, 230));
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0, 0, 96), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
            painter.setBrush(QColor(0, 0, 96));
            if (i == TimeValueController::kCentre) {
                painter.drawEllipse(QPointF(8.0, 8.0), 4.0, 4.0);
            } else {
                // An arrow pointing right, turned for the other handles.
                painter.translate(8.0, 8.0);
                painter.rotate(i == TimeValueController::kRight ? 0.0
                               : i == TimeValueController::kTop ? -90.0
                                                                : -45.0);
                painter.drawLine(QPointF(-5.0, 0.0), QPointF(2.0, 0.0));
                QPainterPath head;
                head.moveTo(5.5, 0.0);
                head.lineTo(1.0, -3.5);
                head.lineTo(1.0, 3.5);
                head.closeSubpath();
                painter.drawPath(head);
            }
            made[static_cast<size_t>(i)] = image;
        }
        return made;
    }();
    return images[static_cast<size_t>(handle)];
}

bool IsTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

} // namespace

TimeValueWnd::TimeValueWnd(QWidget* parent)
    : QAbstractScrollArea(parent), m_view(*viewport()), m_selection(m_view, [this] { Changed(); }),
      m_controller(*this, m_selection, m_view, [this] { Changed(); }) {
    setObjectName(QStringLiteral("TimeValueWnd"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::ArrowCursor);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int position) {
        if (m_updatingBars)
            return;
        m_view.ScrollColumnTo(position);
        UpdateScrollBars();
        viewport()->update();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int position) {
        if (m_updatingBars)
            return;
        m_view.ScrollThumbTo(position);
        UpdateScrollBars();
        viewport()->update();
    });
    UpdateScrollBars();
}

TimeValueWnd::~TimeValueWnd() {
    // The parent is half destroyed by now: end the gesture, but tell nobody.
    blockSignals(true);
    SetKeys(nullptr);
}

void TimeValueWnd::SetKeys(KeyframeLink<float>* keys) {
    if (m_keys) {
        m_controller.Cancel();
        disconnect(m_keys, nullptr, this, nullptr);
    }
    m_keys = keys;
    m_view.SetKeys(keys);
    m_selection.SetKeys(keys);
    m_controller.SetKeys(keys);
    if (keys) {
        connect(keys, &KeyframeLinkBase::KeysReplaced, this, &TimeValueWnd::KeysReplaced);
        // Destroyed: the QPointer is null by now, and the others must forget the list too.
        connect(keys, &QObject::destroyed, this, [this] { SetKeys(nullptr); });
    }
    viewport()->update();
    emit Notify(0);
}

void TimeValueWnd::KeysReplaced() {
    // A drag goes on (the link may reload from inside a write of the drag itself); the
    // selection only keeps the keys that still exist.
    m_selection.Revalidate();
    viewport()->update();
    emit Notify(0);
}

void TimeValueWnd::Changed() {
    emit Notify(0);
}

void TimeValueWnd::PrepareForShowing() {
    m_controller.Cancel();
    m_selection.Clear();
    viewport()->update();
}

void TimeValueWnd::ApplyScales(float timeScale, float valueScale) {
    m_view.SetScales(timeScale, valueScale);
    CentreOnSelectedKey();
}

void TimeValueWnd::ApplyRange(float timeMin, float timeMax, float valueMin, float valueMax) {
    m_view.SetRange(timeMin, timeMax, valueMin, valueMax);
    CentreOnSelectedKey();
}

void TimeValueWnd::CentreOnSelectedKey() {
    // The new extent first, so that the centring clamps against it.
    m_view.ScrollColumns(0);
    m_view.ScrollRows(0);
    const int single = m_selection.Single();
    if (m_keys && single >= 0)
        m_view.CentreOn(m_keys->Time(single), m_keys->Value(single));
    UpdateScrollBars();
    viewport()->update();
}

void TimeValueWnd::SelectKey(int index) {
    if (!m_keys)
        return;
    m_selection.SelectOne(index);
    const int single = m_selection.Single();
    if (single >= 0 && m_view.ScrollIntoView(m_keys->Time(single), m_keys->Value(single)))
        UpdateScrollBars();
    viewport()->update();
}

void TimeValueWnd::SetBoxLatch(bool on) {
    if (m_controller.BoxLatch() == on)
        return;
    m_controller.SetBoxLatch(on);
    emit BoxLatchToggled(on);
}

void TimeValueWnd::ScrollColumns(int delta) {
    m_view.ScrollColumns(delta);
    UpdateScrollBars();
    viewport()->update();
}

void TimeValueWnd::ScrollRows(int delta) {
    m_view.ScrollRows(delta);
    UpdateScrollBars();
    viewport()->update();
}

void TimeValueWnd::UpdateScrollBars() {
    m_updatingBars = true;
    QScrollBar* horizontal = horizontalScrollBar();
    const int columns = m_view.VisibleColumns();
    const int first = m_view.FirstColumn();
    horizontal->setRange(first, std::max(first, m_view.LastColumn() - columns + 1));
    horizontal->setPageStep(std::max(1, columns));
    horizontal->setSingleStep(1);
    horizontal->setValue(m_view.ScrollColumn());
    horizontal->setEnabled(m_view.LastColumn() - first + 1 > columns);

    QScrollBar* vertical = verticalScrollBar();
    const int rows = m_view.VisibleRows();
    vertical->setRange(0, std::max(0, m_view.RowSpan() - rows + 1));
    vertical->setPageStep(std::max(1, rows));
    vertical->setSingleStep(1);
    vertical->setValue(m_view.VerticalThumb());
    vertical->setEnabled(m_view.RowSpan() + 1 > rows);
    m_updatingBars = false;
}

void TimeValueWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_view.ScrollColumns(0);
    m_view.ScrollRows(0);
    UpdateScrollBars();
}

void TimeValueWnd::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // Scrolling repaints everything (the bars' handlers); nothing is shifted on screen.
}

// ---- input ----------------------------------------------------------------------------

void TimeValueWnd::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->modifiers() & Qt::AltModifier)
        m_controller.SetBoxKey(true);
    m_controller.SetKeepAspect(event->modifiers() & Qt::ControlModifier);
    const QPoint point = event->position().toPoint();
    switch (event->button()) {
    case Qt::LeftButton:
        m_controller.Press(point);
        break;
    case Qt::RightButton:
        m_controller.DeleteUnder(point);
        break;
    case Qt::MiddleButton:
        m_controller.PanStart(point);
        break;
    default:
        break;
    }
}

void TimeValueWnd::mouseMoveEvent(QMouseEvent* event) {
    // The window takes the keyboard (Delete, Alt) when the pointer comes over it, but never
    // from a text field, where the user may be typing.
    if (!hasFocus()) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !IsTextField(focus))
            setFocus(Qt::MouseFocusReason);
    }
    m_controller.SetKeepAspect(event->modifiers() & Qt::ControlModifier);
    m_controller.Move(event->position().toPoint());
}

void TimeValueWnd::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        m_controller.Release(point);
    else if (event->button() == Qt::MiddleButton)
        m_controller.PanEnd();
}

void TimeValueWnd::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0)
        emit Notify(delta > 0 ? 1 : 2);
    event->accept();
}

void TimeValueWnd::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Alt:
        if (!event->isAutoRepeat())
            m_controller.SetBoxKey(true);
        return;
    case Qt::Key_Control:
        m_controller.SetKeepAspect(true);
        return;
    case Qt::Key_Delete:
        if (event->modifiers() == Qt::NoModifier) {
            m_controller.DeleteSelected();
            return;
        }
        break;
    case Qt::Key_F:
        if (event->modifiers() == Qt::NoModifier) {
            emit Notify(3);
            return;
        }
        break;
    case Qt::Key_B:
        if (event->modifiers() == Qt::NoModifier && !event->isAutoRepeat()) {
            SetBoxLatch(!m_controller.BoxLatch());
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TimeValueWnd::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Alt && !event->isAutoRepeat()) {
        m_controller.SetBoxKey(false);
        return;
    }
    if (event->key() == Qt::Key_Control) {
        m_controller.SetKeepAspect(false);
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void TimeValueWnd::focusOutEvent(QFocusEvent* event) {
    // The key releases go elsewhere now.
    m_controller.SetBoxKey(false);
    m_controller.SetKeepAspect(false);
    QAbstractScrollArea::focusOutEvent(event);
}

void TimeValueWnd::hideEvent(QHideEvent* event) {
    m_controller.Cancel();
    QAbstractScrollArea::hideEvent(event);
}

// ---- painting -------------------------------------------------------------------------

void TimeValueWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    Paint(painter);
}

void TimeValueWnd::Paint(QPainter& painter) const {
    const QRect client = m_view.ClientRect();
    const int width = client.width();
    const int bottom = client.height();
    painter.fillRect(client, QColor::fromRgb(kBackground));

    // The allowed range.
    const QRect range(QPoint(m_view.TimeToX(m_view.TimeMin()), m_view.ValueToY(m_view.ValueMax())),
                      QPoint(m_view.TimeToX(m_view.TimeMax()), m_view.ValueToY(m_view.ValueMin())));
    painter.fillRect(range.normalized().intersected(client), QColor::fromRgb(kRange));

    QRect group;
    const bool hasGroup = m_selection.PixelBox(group);
    if (hasGroup)
        painter.fillRect(group, QColor::fromRgb(kGroup));
    if (m_controller.Mode() == TimeValueController::kRubberBand) {
        const QRect band(QPoint(m_view.TimeToX(m_controller.BandStartTime()),
                                m_view.ValueToY(m_controller.BandStartValue())),
                         QPoint(m_view.TimeToX(m_controller.BandTime()),
                                m_view.ValueToY(m_controller.BandValue())));
        painter.fillRect(band.normalized().intersected(client), QColor::fromRgb(kBand));
    }

    // The grid: fixed lines, since the view scrolls by whole cells.
    const int columns = (width - TimeValueView::kLeftMargin) / TimeValueView::kCellWidth;
    const int rows = (bottom - TimeValueView::kBottomMargin) / TimeValueView::kCellHeight;
    const int baseline = bottom - TimeValueView::kBottomMargin;
    painter.setPen(QPen(QColor::fromRgb(kGrid), 0));
    for (int i = 0; i < columns; ++i) {
        const int x = TimeValueView::kLeftMargin + TimeValueView::kCellWidth * i;
        painter.drawLine(x, 0, x, baseline);
    }
    for (int j = 0; j < rows; ++j) {
        const int y = baseline - TimeValueView::kCellHeight * j;
        painter.drawLine(TimeValueView::kLeftMargin, y, width - 1, y);
    }

    // The labels: one decimal, so neighbouring labels may repeat at fine scales.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QColor::fromRgb(kBackground));
    const int lineHeight = painter.fontMetrics().height();
    for (int i = 0; i < columns; ++i) {
        const int x = TimeValueView::kLeftMargin + TimeValueView::kCellWidth * i;
        painter.drawText(QRect(x, bottom - 10, TimeValueView::kCellWidth * 2, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_view.TimeLabel(i));
    }
    for (int j = 0; j < rows; ++j) {
        const int y = baseline - TimeValueView::kCellHeight * j;
        painter.drawText(QRect(0, y, 100, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_view.ValueLabel(j));
    }
    painter.setBackgroundMode(Qt::TransparentMode);

    // The curve and its keys.
    const int count = m_keys ? m_keys->Count() : 0;
    if (count >= 2) {
        std::vector<QPoint> points(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            points[static_cast<size_t>(i)] = m_view.KeyPoint(i);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawPolyline(points.data(), count);
        std::vector<QRect> plain;
        std::vector<QRect> selected;
        plain.reserve(static_cast<size_t>(count));
        const QRect visible = client.adjusted(-3, -3, 3, 3);
        for (int i = 0; i < count; ++i) {
            const QPoint& point = points[static_cast<size_t>(i)];
            if (!visible.contains(point))
                continue;
            // Outline of the 5 by 5 pixel square centred on the key.
            (m_selection.Contains(i) ? selected : plain)
                .emplace_back(point.x() - 2, point.y() - 2, 4, 4);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor::fromRgb(kKey), 0));
        painter.drawRects(plain.data(), static_cast<int>(plain.size()));
        painter.setPen(QPen(QColor::fromRgb(kSelectedKey), 0));
        painter.drawRects(selected.data(), static_cast<int>(selected.size()));
    }

    std::array<QRect, 4> handles;
    if (m_controller.BoxMode() && hasGroup && m_controller.HandleRects(handles))
        for (int i = 0; i < 4; ++i)
            painter.drawImage(handles[static_cast<size_t>(i)].topLeft(), HandleImage(i));
}
