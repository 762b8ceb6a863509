#pragma once

// The curve window's mapping between keys (time, value) and pixels, its allowed range, its
// scales and its scrolling.
//
// The window is a grid of cells, cell width pixels wide and cell height pixels tall; a
// column stands for time scale units of time, a row for value scale units of value. Time
// runs to the right from a left margin, value upwards from a bottom margin; the view
// scrolls by whole cells (scroll column, scroll row). With H the height of the client area:
//   x = 12 + (time / time scale - scroll column) x 20
//   y = H - 12 - (value / value scale - scroll row) x 15
// (both truncated towards zero; margins 12, cells 20 by 15 pixels by default).
//
// The two scroll bars: the horizontal one's position is the scroll column, from the first
// column (time min / time scale) to the last one (ceil(time max / time scale)); the
// vertical one runs from high values at the top (position 0) to value min at the bottom,
// its position p standing for the row last row - p - visible rows + 1, where the last row
// is ceil(value max / value scale).

#include "shell/KeyframeLink.h"

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

class TimeValueView {
public:
    static constexpr int kPickRadius = 4;
    static constexpr int kCellWidth = 20;
    static constexpr int kCellHeight = 15;
    static constexpr int kLeftMargin = 12;
    static constexpr int kBottomMargin = 12;

    // client: the widget whose rectangle is the client area (the curve window's viewport).
    explicit TimeValueView(const QWidget& client) : m_client(client) {}

    void SetKeys(KeyframeLink<float>* keys) { m_keys = keys; }
    KeyframeLink<float>* Keys() const { return m_keys; }

    QRect ClientRect() const;
    // Pixel position of a time and value, and back.
    int TimeToX(double time) const;
    int ValueToY(double value) const;
    float XToTime(int x) const;
    float YToValue(int y) const;
    QPoint KeyPoint(int index) const;
    // The first key (in index order) within the pick radius of point in x and in y; -1 when
    // none.
    int HitTest(QPoint point) const;

    float TimeMin() const { return m_timeMin; }
    float TimeMax() const { return m_timeMax; }
    float ValueMin() const { return m_valueMin; }
    float ValueMax() const { return m_valueMax; }
    float TimeScale() const { return m_timeScale; }
    float ValueScale() const { return m_valueScale; }
    // The caller gives scales greater than 0 and minimums not above their maximums.
    void SetRange(float timeMin, float timeMax, float valueMin, float valueMax);
    void SetScales(float timeScale, float valueScale);

    // The whole cells that fit into the client area (at least 0).
    int VisibleColumns() const;
    int VisibleRows() const;
    int ScrollColumn() const { return m_scrollColumn; }
    int ScrollRow() const { return m_scrollRow; }
    int FirstColumn() const;
    int LastColumn() const;
    int LastRow() const;
    // The vertical bar's extent in rows: ceil((value max - value min) / value scale).
    int RowSpan() const;

    // Horizontal: sets the column, kept between the first column and the last one that
    // still fills the client area, and not below 0.
    void ScrollColumnTo(int column);
    void ScrollColumns(int delta) { ScrollColumnTo(m_scrollColumn + delta); }
    // Vertical, by bar position (see above) or by rows (positive: up, to higher values);
    // the row stays between value min and the top of the range.
    void ScrollThumbTo(int position);
    void ScrollRows(int delta) { ScrollRowTo(m_scrollRow + delta); }
    // The vertical bar's position for the current row.
    int VerticalThumb() const;

    // Scrolls so that (time, value) lies in the middle of the client area.
    void CentreOn(float time, float value);
    // Centres on the point when it lies outside the client area; true when it scrolled.
    bool ScrollIntoView(float time, float value);

    // The grid's labels: the time under the i-th visible column, the value beside the j-th
    // visible row from the bottom, with one decimal (so at fine scales neighbours repeat).
    QString TimeLabel(int column) const;
    QString ValueLabel(int row) const;

private:
    void ScrollRowTo(int row);
    int LowestRow() const;
    int HighestRow() const;

    const QWidget& m_client;
    KeyframeLink<float>* m_keys = nullptr;
    float m_timeMin = 0.0f;
    float m_timeMax = 1.0f;
    float m_valueMin = 0.0f;
    float m_valueMax = 10000.0f;
    float m_timeScale = 0.025f;
    float m_valueScale = 1.0f;
    int m_scrollColumn = 0;
    int m_scrollRow = 0;
};
