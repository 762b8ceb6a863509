#pragma once

// The time bar under the preview's splitter: a slider of 101 positions (0 to 100, a
// percentage of the main type's duration) that the idle loop moves on while the effect
// plays and that the user drags to scrub. It also names the current key: the slider
// position at which one element of a plain array property is edited.

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

    // The main type's duration in seconds; the slider takes the new position.
    void SetLength(float seconds);
    float Length() const { return m_length; }
    // Back to time 0.
    void Rewind();
    // Moves on by step seconds, stopping at the length; nothing when notPlaying is set.
    void Advance(float step, bool notPlaying);
    // The displayed time: the fraction of the duration reached, times the length.
    float CurrentTime() const;
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
    void ShowPosition();
    void MoveTo(int position);
    void UserScrub();

    QSlider* m_slider;
    std::unique_ptr<FxAccelHook> m_hook;
    float m_length = 0.0f;
    float m_currentTime = 0.0f;
    std::vector<KeyMark> m_keyMarks;
    bool m_settingPosition = false; // a change of the slider made by the program
};
