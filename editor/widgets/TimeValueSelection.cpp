#include "widgets/TimeValueSelection.h"

#include "widgets/TimeValueView.h"

#include <algorithm>

namespace {

// The smallest scale a group can be given, in time or value units.
constexpr float kMinimumScale = 0.001f;

} // namespace

TimeValueSelection::TimeValueSelection(const TimeValueView& view, std::function<void()> changed)
    : m_view(view), m_changed(std::move(changed)) {}

void TimeValueSelection::SetKeys(KeyframeLink<float>* keys) {
    m_keys = keys;
    Clear();
}

bool TimeValueSelection::Contains(int index) const {
    return std::binary_search(m_indices.begin(), m_indices.end(), index);
}

void TimeValueSelection::Clear() {
    m_indices.clear();
    m_offsets.clear();
}

void TimeValueSelection::SelectOne(int index) {
    if (!m_keys || index < 0 || index >= m_keys->Count())
        return;
    m_indices = {index};
    m_offsets = {Offset{}};
}

void TimeValueSelection::SelectBetween(float timeA, float valueA, float timeB, float valueB) {
    if (timeB < timeA)
        std::swap(timeA, timeB);
    if (valueB < valueA)
        std::swap(valueA, valueB);
    Clear();
    if (!m_keys)
        return;
    for (int i = 0; i < m_keys->Count(); ++i) {
        const float time = m_keys->Time(i);
        const float value = m_keys->Value(i);
        if (time >= timeA && time <= timeB && value >= valueA && value <= valueB)
            m_indices.push_back(i);
    }
    m_offsets.assign(m_indices.size(), Offset{});
    BuildGroup();
}

void TimeValueSelection::Revalidate() {
    const int count = m_keys ? m_keys->Count() : 0;
    std::erase_if(m_indices, [count](int index) { return index >= count; });
    m_offsets.assign(m_indices.size(), Offset{});
    BuildGroup();
}

bool TimeValueSelection::PixelBox(QRect& box) const {
    if (!m_keys || m_indices.size() < 2)
        return false;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool first = true;
    for (const int index : m_indices) {
        const QPoint point = m_view.KeyPoint(index);
        if (first) {
            left = right = point.x();
            top = bottom = point.y();
            first = false;
        }
        left = std::min(left, point.x());
        right = std::max(right, point.x());
        top = std::min(top, point.y());
        bottom = std::max(bottom, point.y());
    }
    box = QRect(QPoint(left - kBoxMargin, top - kBoxMargin),
                QPoint(right + kBoxMargin, bottom + kBoxMargin));
    return true;
}

void TimeValueSelection::BuildGroup() {
    QRect box;
    if (!PixelBox(box))
        return;
    const int centreX = (box.left() + box.right()) / 2;
    const int centreY = (box.top() + box.bottom()) / 2;
    m_originTime = m_view.XToTime(centreX);
    m_originValue = m_view.YToValue(centreY);
    m_scaleTime = m_view.XToTime(box.right()) - m_originTime;
    m_scaleValue = m_view.YToValue(box.top()) - m_originValue;
    for (size_t k = 0; k < m_indices.size(); ++k) {
        m_offsets[k].time = (m_keys->Time(m_indices[k]) - m_originTime) / m_scaleTime;
        m_offsets[k].value = (m_keys->Value(m_indices[k]) - m_originValue) / m_scaleValue;
    }
}

void TimeValueSelection::Constrain(int index, float& time, float& value) const {
    if (!m_keys || index < 0 || index >= m_keys->Count())
        return;
    const int last = m_keys->Count() - 1;
    if (index == 0 || index == last) {
        time = m_keys->Time(index);
    } else {
        const float gap = static_cast<float>(TimeValueView::kPickRadius) * m_view.TimeScale() /
                          static_cast<float>(TimeValueView::kCellWidth);
        const float lower = m_keys->Time(index - 1) + gap;
        const float upper = m_keys->Time(index + 1) - gap;
        // Neighbours already closer than two gaps leave the key where it is.
        time = lower <= upper ? std::clamp(time, lower, upper) : m_keys->Time(index);
    }
    value = std::clamp(value, m_view.ValueMin(), std::max(m_view.ValueMin(), m_view.ValueMax()));
}

void TimeValueSelection::SetSelectedKey(float time, float value) {
    const int index = Single();
    if (!m_keys || index < 0 || index >= m_keys->Count())
        return;
    Constrain(index, time, value);
    m_keys->Set(index, time, value);
    if (m_changed)
        m_changed();
}

void TimeValueSelection::MoveTo(float time, float value) {
    if (!m_keys || m_indices.empty())
        return;
    if (m_indices.size() == 1) {
        SetSelectedKey(time, value);
        return;
    }
    Place(time, value, m_scaleTime, m_scaleValue);
}

void TimeValueSelection::Scale(float time, float value, ScaleMode mode) {
    QRect box;
    if (!m_keys || !PixelBox(box))
        return;
    const float centreTime = m_view.XToTime((box.left() + box.right()) / 2);
    const float centreValue = m_view.YToValue((box.top() + box.bottom()) / 2);
    float scaleTime = m_scaleTime;
    float scaleValue = m_scaleValue;
    switch (mode) {
    case kScaleTime:
        scaleTime = std::max(time - centreTime, kMinimumScale);
        break;
    case kScaleValue:
        scaleValue = std::max(value - centreValue, kMinimumScale);
        break;
    case kScaleBoth:
        scaleTime = std::max(time - centreTime, kMinimumScale);
        scaleValue = std::max(value - centreValue, kMinimumScale);
        break;
    case kScaleAspect:
        if (m_scaleTime <= 0.0f)
            return;
        scaleValue = std::max(value - centreValue, kMinimumScale);
        scaleTime = std::max(scaleValue / (m_scaleValue / m_scaleTime), kMinimumScale);
        break;
    }
    Place(m_originTime, m_originValue, scaleTime, scaleValue);
}

bool TimeValueSelection::Place(float originTime, float originValue, float scaleTime,
                               float scaleValue) {
    const std::vector<TimeFloat>& current = m_keys->Keys();
    std::vector<TimeFloat> placed = current;
    const bool timeKept = originTime == m_originTime && scaleTime == m_scaleTime;
    const bool valueKept = originValue == m_originValue && scaleValue == m_scaleValue;
    const float valueMin = m_view.ValueMin();
    const float valueMax = m_view.ValueMax();
    for (size_t k = 0; k < m_indices.size(); ++k) {
        TimeFloat& key = placed[static_cast<size_t>(m_indices[k])];
        if (!timeKept)
            key.time = scaleTime * m_offsets[k].time + originTime;
        if (!valueKept)
            key.value = scaleValue * m_offsets[k].value + originValue;
        if (!(key.value >= valueMin && key.value <= valueMax))
            return false;
    }
    if (placed.empty() || placed.front().time != current.front().time ||
        placed.back().time != current.back().time)
        return false;
    for (size_t i = 1; i < placed.size(); ++i)
        if (!(placed[i - 1].time <= placed[i].time))
            return false;
    m_originTime = originTime;
    m_originValue = originValue;
    m_scaleTime = scaleTime;
    m_scaleValue = scaleValue;
    m_keys->Assign(std::move(placed));
    if (m_changed)
        m_changed();
    return true;
}

void TimeValueSelection::DeleteSelected() {
    if (!m_keys || m_indices.empty())
        return;
    const int last = m_keys->Count() - 1;
    std::vector<int> doomed;
    for (const int index : m_indices)
        if (index != 0 && index != last)
            doomed.push_back(index);
    if (doomed.empty())
        return;
    m_keys->EraseSet(doomed);
    Clear();
    if (m_changed)
        m_changed();
}
