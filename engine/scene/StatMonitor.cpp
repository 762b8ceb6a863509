#include "scene/StatMonitor.h"

#include "scene/RenderDevice.h"

#include <algorithm>

namespace {

// Graph colours, one per channel in creation order.
constexpr Colour kChannelColours[] = {
    {1.0f, 0.85f, 0.2f, 1.0f}, {0.3f, 0.8f, 1.0f, 1.0f}, {1.0f, 0.4f, 0.4f, 1.0f},
    {0.5f, 1.0f, 0.5f, 1.0f},  {0.9f, 0.5f, 1.0f, 1.0f},
};

} // namespace

StatMonitor::StatMonitor(std::string name, float x, float y, float width, float height)
    : m_name(std::move(name)), m_x(x), m_y(y), m_width(width), m_height(height) {}

StatMonitor::Channel& StatMonitor::Find(const std::string& channel) {
    for (Channel& existing : m_channels)
        if (existing.name == channel)
            return existing;
    m_channels.push_back({});
    m_channels.back().name = channel;
    return m_channels.back();
}

void StatMonitor::Start(const std::string& channel, float minimum, float maximum) {
    Channel& c = Find(channel);
    c.minimum = minimum;
    c.maximum = maximum;
    c.started = std::chrono::steady_clock::now();
    c.running = true;
}

void StatMonitor::Stop(const std::string& channel) {
    Channel& c = Find(channel);
    if (!c.running)
        return;
    const auto elapsed = std::chrono::steady_clock::now() - c.started;
    c.current += std::chrono::duration<float, std::milli>(elapsed).count();
    c.running = false;
}

void StatMonitor::Add(const std::string& channel, float milliseconds) {
    Find(channel).current += milliseconds;
}

void StatMonitor::Report(const std::string& channel) {
    Channel& c = Find(channel);
    c.samples[m_newest] = c.current;
    c.current = 0.0f;
}

void StatMonitor::NextFrame() {
    m_newest = (m_newest + 1) % kHistory;
    for (Channel& c : m_channels)
        c.samples[m_newest] = 0.0f;
}

float StatMonitor::Sample(const Channel& channel, int framesAgo) const {
    const int slot = ((m_newest - framesAgo) % kHistory + kHistory) % kHistory;
    return channel.samples[slot];
}

void StatMonitorRender::display(float pixelWidth, float pixelHeight, const StatMonitor& monitor) {
    if (!m_device)
        return;
    const float x0 = monitor.X();
    const float y0 = monitor.Y();
    const float w = monitor.Width();
    const float h = monitor.Height();
    const RenderStates saved = m_device->SaveStates();
    m_device->Disable(RenderState::DepthTest);
    m_device->Disable(RenderState::Texturing);
    m_device->Enable(RenderState::Blending);
    m_device->SetBlendMode(BlendMode::Alpha);
    m_device->BindTexture(0);

    // A dark backing so the graphs read over any picture.
    const Colour backing{0.0f, 0.0f, 0.0f, 0.5f};
    const RenderVertex quad[4] = {{{x0, y0, 0}, backing},
                                  {{x0, y0 + h, 0}, backing},
                                  {{x0 + w, y0 + h, 0}, backing},
                                  {{x0 + w, y0, 0}, backing}};
    m_device->Draw(Primitive::Quads, quad, 4);

    // One line strip per channel, newest frame at the right; a pixel of margin.
    RenderVertex strip[StatMonitor::kHistory];
    const float left = x0 + pixelWidth;
    const float width = w - 2.0f * pixelWidth;
    const float bottom = y0 + pixelHeight;
    const float height = h - 2.0f * pixelHeight;
    size_t colourIndex = 0;
    for (const StatMonitor::Channel& channel : monitor.Channels()) {
        const Colour colour = kChannelColours[colourIndex++ % std::size(kChannelColours)];
        const float range = std::max(channel.maximum - channel.minimum, 1e-6f);
        for (int i = 0; i < StatMonitor::kHistory; ++i) {
            const int framesAgo = StatMonitor::kHistory - 1 - i;
            const float value = (monitor.Sample(channel, framesAgo) - channel.minimum) / range;
            const float y = bottom + height * std::clamp(value, 0.0f, 1.0f);
            const float x = left + width * static_cast<float>(i) /
                                       static_cast<float>(StatMonitor::kHistory - 1);
            strip[i] = {{x, y, 0}, colour};
        }
        m_device->Draw(Primitive::LineStrip, strip, StatMonitor::kHistory);
    }
    m_device->RestoreStates(saved);
}
