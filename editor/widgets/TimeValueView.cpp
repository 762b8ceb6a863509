#include "widgets/TimeValueView.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// Pixel and cell numbers stay far inside int, whatever the keys, scales and ranges hold
// (a value of 1e30 must not overflow the conversion, and the painter must not choke).
constexpr double kLargest = 1.0e6;

int Truncate(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(value, -kLargest, kLargest));
}

int CeilCells(double value) {
    return Truncate(std::ceil(value));
}

} // namespace

QRect TimeValueView::ClientRect() const {
    return m_client.rect();
}

int TimeValueView::TimeToX(double time) const {
    return Truncate(kLeftMargin + (time / m_timeScale) * kCellWidth -
                    static_cast<double>(m_scrollColumn) * kCellWidth);
}

int TimeValueView::ValueToY(double value) const {
    const double bottom = m_client.height();
    return Truncate(
        bottom - kBottomMargin -
        ((value / m_valueScale) * kCellHeight - static_cast<double>(m_scrollRow) * kCellHeight));
}

float TimeValueView::XToTime(int x) const {
    return static_cast<float>(static_cast<double>(x - kLeftMargin) * m_timeScale / kCellWidth +
                              static_cast<double>(m_scrollColumn) * m_timeScale);
}

float TimeValueView::YToValue(int y) const {
    const int bottom = m_client.height();
    return static_cast<float>(static_cast<double>(bottom - y - kBottomMargin) * m_valueScale /
                                  kCellHeight +
                              static_cast<double>(m_scrollRow) * m_valueScale);
}

QPoint TimeValueView::KeyPoint(int index) const {
    if (!m_keys)
        return {};
    return {TimeToX(m_keys->Time(index)), ValueToY(m_keys->Value(index))};
}

int TimeValueView::HitTest(QPoint point) const {
    if (!m_keys)
        return -1;
    for (int i = 0; i < m_keys->Count(); ++i) {
        const QPoint key = KeyPoint(i);
        if (std::abs(key.x() - point.x()) <= kPickRadius &&
            std::abs(key.y() - point.y()) <= kPickRadius)
            return i;
    }
    return -1;
}

void TimeValueView::SetRange(float timeMin, float timeMax, float valueMin, float valueMax) {
    m_timeMin = timeMin;
    m_timeMax = timeMax;
    m_valueMin = valueMin;
    m_valueMax = valueMax;
}

void TimeValueView::SetScales(float timeScale, float valueScale) {
    m_timeScale = timeScale;
    m_valueScale = valueScale;
}

int TimeValueView::VisibleColumns() const {
    return std::max(0, m_client.width() / kCellWidth);
}

int TimeValueView::VisibleRows() const {
    return std::max(0, m_client.height() / kCellHeight);
}

int TimeValueView::FirstColumn() const {
    return Truncate(static_cast<double>(m_timeMin) / m_timeScale);
}

int TimeValueView::LastColumn() const {
    return CeilCells(static_cast<double>(m_timeMax) / m_timeScale);
}

int TimeValueView::LastRow() const {
    return CeilCells(static_cast<double>(m_valueMax) / m_valueScale);
}

int TimeValueView::RowSpan() const {
    return CeilCells((static_cast<double>(m_valueMax) - m_valueMin) / m_valueScale);
}

void TimeValueView::ScrollColumnTo(int column) {
    column = std::max(column, FirstColumn());
    if (column + VisibleColumns() > LastColumn() + 1)
        column = LastColumn() - VisibleColumns() + 1;
    m_scrollColumn = std::max(column, std::max(0, FirstColumn()));
}

// The rows are cells: the lowest row is the one holding value min.
int TimeValueView::LowestRow() const {
    return Truncate(static_cast<double>(m_valueMin) / m_valueScale);
}

int TimeValueView::HighestRow() const {
    return std::max(LowestRow(), LastRow() - VisibleRows() + 1);
}

void TimeValueView::ScrollRowTo(int row) {
    m_scrollRow = std::clamp(row, LowestRow(), HighestRow());
}

// The exact inverse of VerticalThumb. It equals (value max - (p + visible rows - 1) x value
// scale) / value scale when value max is a whole number of rows, and unlike that form it
// gives the row back unchanged when value max is not.
void TimeValueView::ScrollThumbTo(int position) {
    ScrollRowTo(LastRow() - position - VisibleRows() + 1);
}

int TimeValueView::VerticalThumb() const {
    return LastRow() - m_scrollRow - VisibleRows() + 1;
}

void TimeValueView::CentreOn(float time, float value) {
    const double timeSpan = static_cast<double>(m_timeMax) - m_timeMin;
    const double valueSpan = static_cast<double>(m_valueMax) - m_valueMin;
    const int columns = CeilCells(timeSpan / m_timeScale);
    const int rows = CeilCells(valueSpan / m_valueScale);
    if (timeSpan > 0.0)
        ScrollColumnTo(Truncate(columns * ((time - m_timeMin) / timeSpan)) - VisibleColumns() / 2);
    if (valueSpan > 0.0)
        ScrollThumbTo(rows - Truncate(rows * ((value - m_valueMin) / valueSpan)) -
                      VisibleRows() / 2);
}

bool TimeValueView::ScrollIntoView(float time, float value) {
    if (ClientRect().contains(TimeToX(time), ValueToY(value)))
        return false;
    CentreOn(time, value);
    return true;
}

QString TimeValueView::TimeLabel(int column) const {
    return QString::number(static_cast<double>(column + m_scrollColumn) * m_timeScale, 'f', 1);
}

QString TimeValueView::ValueLabel(int row) const {
    return QString::number(static_cast<double>(row + m_scrollRow) * m_valueScale, 'f', 1);
}
