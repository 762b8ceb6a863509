#pragma once

// The time bar under the preview's splitter: a slider of 101 positions (0 to 100, a
// percentage of the main type's duration) that the idle loop moves on while the effect
// plays and that the user drags to scrub. It also names the current key: the slider
// position at which one element of a plain array property is edited.
//
// For a looping effect the bar spans one loop period instead and wraps: it keeps the time
// since the effect started, shows the time within the period and counts the loops. A
// scrub then stays within the period.

#include "shell/SparvCommands.h"

#include <QWidget>
#include <memory>
#include <vector>

class FxAccelHook;
class QSlider;

class SparvTime : public QWidget, public SparvCommandTarget {
    Q_OBJECT

public:
    // A marked slider position and the index of the array element edited there.
    struct KeyMark {
        int key = 0;
        int position = 0; // 0 to 100
    };

    explicit SparvTime(QWidget* parent);
    ~SparvTime() override;

    // The main type's duration in seconds; the slider takes the new position. Ends the
    // loop mode.
    void SetLength(float seconds);
    // A looping effect: the bar spans one period of that many seconds (above 0) and wraps.
    void SetLoopPeriod(float seconds);
    bool Looping() const { return m_looping; }
    // The duration, or the period of a looping effect.
    float Length() const { return m_length; }
    // Back to time 0.
    void Rewind();
    // Moves on by step seconds, stopping at the length (wrapping at the period when
    // looping); nothing when notPlaying is set.
    void Advance(float step, bool notPlaying);
    // Puts the bar at seconds since the effect started (an effect rebuilt to a moment).
    void SetTime(double seconds);
    // The displayed time: the fraction of the duration reached, times the length; the time
    // within the period when looping.
    float CurrentTime() const;
    // The loop the effect is in, from 1; 1 when not looping.
    int Loop() const;
    // The index in the key marks of the first mark at the slider's position, or -1.
    int CurrentKey() const;
    // The slider position, 0 to 100.
    int Position() const;

    // Marks in increasing position.
    void SetKeyMarks(std::vector<KeyMark> marks);
    const std::vector<KeyMark>& KeyMarks() const { return m_keyMarks; }

    QSlider* Slider() const { return m_slider; }

    // Ctrl+A (the previous key mark) and Ctrl+Z (the next one), delivered through the
    // slider's accelerator hook.
    bool OnCommand(int id) override;

signals:
    // The user moved the slider (message 0x8002): the time before and the signed step to
    // the new time, both in seconds.
    void Scrubbed(float oldTime, float step);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    float Fraction() const;
    // Looping: seconds into the current loop, above 0 up to the period.
    double TimeInLoop() const;
    void ShowPosition();
    void MoveTo(int position);
    void UserScrub();

    QSlider* m_slider;
    std::unique_ptr<FxAccelHook> m_hook;
    float m_length = 0.0f;
    float m_currentTime = 0.0f;
    bool m_looping = false;
    double m_loopTime = 0.0; // looping: seconds since the effect started
    std::vector<KeyMark> m_keyMarks;
    bool m_settingPosition = false; // a change of the slider made by the program
};
