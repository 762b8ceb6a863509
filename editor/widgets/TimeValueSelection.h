#pragma once

// The selected keys of the curve window and what is done to them: selecting one key or
// those inside a rubber band, constraining and setting a single key, moving and scaling a
// group, deleting.
//
// A group (two or more selected keys) has a box: the pixel bounding box of its keys widened
// by the box margin, whose centre is the group's origin (time, value) and whose right and
// top edges lie scale (time, value) away from it. Each key keeps its offset in the box,
// (time - origin time) / scale time and likewise for the value, so a group is placed by an
// origin and a scale. A placement is taken only when it keeps every key between its
// neighbours' times, the first and the last key at their times, and every moved key within
// the value range; otherwise no key changes. An axis whose origin and scale stay as they
// are keeps the keys' coordinates on that axis exactly (moving a group straight up leaves
// its times bit for bit).
//
// Every change goes through the key list (one change per step) and then calls the change
// callback.

#include "shell/KeyframeLink.h"

#include <QRect>
#include <functional>
#include <vector>

class TimeValueView;

class TimeValueSelection {
public:
    static constexpr int kBoxMargin = 2;
    enum ScaleMode : int { kScaleTime = 0, kScaleValue = 1, kScaleBoth = 2, kScaleAspect = 3 };

    TimeValueSelection(const TimeValueView& view, std::function<void()> changed);

    void SetKeys(KeyframeLink<float>* keys);

    const std::vector<int>& Indices() const { return m_indices; }
    int Count() const { return static_cast<int>(m_indices.size()); }
    bool Contains(int index) const;
    // The selected key when exactly one is selected; -1 otherwise.
    int Single() const { return m_indices.size() == 1 ? m_indices.front() : -1; }

    void Clear();
    // Selects exactly key index (ignored unless it is in the list).
    void SelectOne(int index);
    // Selects every key within the two corners (inclusive, in any order).
    void SelectBetween(float timeA, float valueA, float timeB, float valueB);
    // After the keys were replaced from outside: forgets indices past the end and builds
    // the group's box again.
    void Revalidate();

    // The group's pixel box (keys' bounding box widened by the margin); false with fewer
    // than two selected keys.
    bool PixelBox(QRect& box) const;
    float OriginTime() const { return m_originTime; }
    float OriginValue() const { return m_originValue; }
    float ScaleTime() const { return m_scaleTime; }
    float ScaleValue() const { return m_scaleValue; }

    // (time, value) constrained for key index: the first and the last key keep their time,
    // any other stays 4 pixels' worth of time inside its neighbours; the value stays within
    // the value range.
    void Constrain(int index, float& time, float& value) const;
    // With exactly one selected key: sets it to (time, value) constrained.
    void SetSelectedKey(float time, float value);
    // With one selected key: sets it to (time, value) constrained. With a group: places its
    // origin at (time, value).
    void MoveTo(float time, float value);
    // Scales a group with the pointer at (time, value): the box's edge follows the pointer
    // on the axes of mode.
    void Scale(float time, float value, ScaleMode mode);
    // Erases the selected keys except the first and the last key of the list, then clears
    // the selection.
    void DeleteSelected();

private:
    void BuildGroup();
    // Places the group at origin and scale; false (nothing written) when not allowed.
    bool Place(float originTime, float originValue, float scaleTime, float scaleValue);

    const TimeValueView& m_view;
    KeyframeLink<float>* m_keys = nullptr;
    std::vector<int> m_indices; // in index order
    struct Offset {
        float time = 0.0f;
        float value = 0.0f;
    };
    std::vector<Offset> m_offsets; // per selected key, its place in the box
    float m_scaleTime = 1.0f;
    float m_scaleValue = 1.0f;
    float m_originTime = 1.0f;
    float m_originValue = 1.0f;
    std::function<void()> m_changed;
};
