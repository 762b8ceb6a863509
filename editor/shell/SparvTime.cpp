#include "shell/SparvTime.h"

#include "shell/FxAccelHook.h"

#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

SparvTime::SparvTime(QWidget* parent)
    : QWidget(parent), m_slider(new QSlider(Qt::Horizontal, this)) {
    m_slider->setObjectName(QStringLiteral("SparvTimeSlider"));
    m_slider->setRange(0, 100);
    m_slider->setValue(0);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setPageStep(10);
    connect(m_slider, &QSlider::valueChanged, this, [this] {
        if (!m_settingPosition)
            UserScrub();
    });
    // The end of a drag is a scroll notification of its own, as the thumb may have been
    // let go where the effect is not.
    connect(m_slider, &QSlider::sliderReleased, this, &SparvTime::UserScrub);
    m_hook = std::make_unique<FxAccelHook>(m_slider, this, this);
}

SparvTime::~SparvTime() = default;

void SparvTime::SetLength(float seconds) {
    if (m_looping) {
        m_looping = false;
        m_currentTime = 0.0f;
    }
    m_length = seconds;
    ShowPosition();
}

void SparvTime::SetLoopPeriod(float seconds) {
    if (!m_looping) {
        m_looping = true;
        m_loopTime = 0.0;
    }
    m_length = seconds;
    ShowPosition();
}

void SparvTime::Rewind() {
    m_currentTime = 0.0f;
    m_loopTime = 0.0;
    ShowPosition();
}

void SparvTime::Advance(float step, bool notPlaying) {
    if (notPlaying)
        return;
    if (m_looping)
        m_loopTime += step;
    else
        m_currentTime = std::min(m_length, m_currentTime + step);
    ShowPosition();
}

void SparvTime::SetTime(double seconds) {
    seconds = std::max(seconds, 0.0);
    if (m_looping)
        m_loopTime = seconds;
    else
        m_currentTime = static_cast<float>(std::min(static_cast<double>(m_length), seconds));
    ShowPosition();
}

float SparvTime::Fraction() const {
    if (m_length <= 0.0f)
        return 1.0f;
    if (m_looping)
        return static_cast<float>(TimeInLoop() / static_cast<double>(m_length));
    return std::min(m_length, m_currentTime) / m_length;
}

double SparvTime::TimeInLoop() const {
    // The end of a loop is its last moment (the bar full), not the start of the next.
    return m_loopTime - static_cast<double>(Loop() - 1) * static_cast<double>(m_length);
}

float SparvTime::CurrentTime() const {
    return Fraction() * m_length;
}

int SparvTime::Loop() const {
    if (!m_looping || m_length <= 0.0f || m_loopTime <= 0.0)
        return 1;
    const double loops = std::ceil(m_loopTime / static_cast<double>(m_length));
    return std::max(1, static_cast<int>(std::min(loops, 1e9)));
}

int SparvTime::Position() const {
    return m_slider->value();
}

int SparvTime::CurrentKey() const {
    const int position = Position();
    for (size_t i = 0; i < m_keyMarks.size(); ++i)
        if (m_keyMarks[i].position == position)
            return static_cast<int>(i);
    return -1;
}

void SparvTime::SetKeyMarks(std::vector<KeyMark> marks) {
    m_keyMarks = std::move(marks);
}

void SparvTime::ShowPosition() {
    MoveTo(static_cast<int>(std::floor(Fraction() * 100.0f + 0.5f)));
}

void SparvTime::MoveTo(int position) {
    m_settingPosition = true;
    m_slider->setValue(position);
    m_settingPosition = false;
}

void SparvTime::UserScrub() {
    if (m_looping) {
        // Within the period: forward the effect moves on in its loop, backward it is
        // rebuilt from time 0, in the first loop.
        const float oldTime = CurrentTime();
        const float newTime = static_cast<float>(m_slider->value()) / 100.0f * m_length;
        const float step = newTime - oldTime;
        m_loopTime = step >= 0.0f ? m_loopTime + step : newTime;
        emit Scrubbed(oldTime, step);
        return;
    }
    const float oldTime = m_currentTime;
    m_currentTime = static_cast<float>(m_slider->value()) / 100.0f * m_length;
    emit Scrubbed(oldTime, m_currentTime - oldTime);
}

bool SparvTime::OnCommand(int id) {
    const int position = Position();
    if (id == SparvCommand::PreviousKeyMark) {
        const auto below =
            std::find_if(m_keyMarks.rbegin(), m_keyMarks.rend(),
                         [&](const KeyMark& mark) { return mark.position < position; });
        if (below != m_keyMarks.rend()) {
            MoveTo(below->position);
            UserScrub();
        }
        return true;
    }
    if (id == SparvCommand::NextKeyMark) {
        const auto above =
            std::find_if(m_keyMarks.begin(), m_keyMarks.end(),
                         [&](const KeyMark& mark) { return mark.position > position; });
        if (above != m_keyMarks.end()) {
            MoveTo(above->position);
            UserScrub();
        }
        return true;
    }
    return false;
}

void SparvTime::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_slider->setGeometry(rect());
}
