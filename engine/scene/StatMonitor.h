#pragma once

// Per-frame timers shown as small graphs over the picture: a monitor holds named
// channels, each timing one stretch of every frame in milliseconds, with a history of
// the last frames.

#include "math/Math.h"

#include <chrono>
#include <string>
#include <vector>

class RenderDevice;

class StatMonitor {
public:
    static constexpr int kHistory = 64; // frames each channel remembers

    // The graph's place on the picture in 0..1 coordinates (x, y of its lower-left
    // corner, width, height), e.g. ("RENDER", 0.0, 0.8, 0.3, 0.15).
    StatMonitor(std::string name, float x, float y, float width, float height);

    struct Channel {
        std::string name;
        float minimum = 0.0f;  // milliseconds at the bottom of the graph
        float maximum = 50.0f; // milliseconds at the top
        float samples[kHistory] = {};
        float current = 0.0f; // milliseconds measured in this frame so far
        std::chrono::steady_clock::time_point started;
        bool running = false;
    };

    // Starts timing a channel for this frame (creating it on first use) with the range
    // its graph shows, in milliseconds.
    void Start(const std::string& channel, float minimum, float maximum);
    void Stop(const std::string& channel);
    // Adds a measured time to a channel's current frame, for callers that time themselves.
    void Add(const std::string& channel, float milliseconds);
    // Stores the channel's time of this frame in its history.
    void Report(const std::string& channel);
    // Moves every channel's history on by one frame.
    void NextFrame();

    const std::string& Name() const { return m_name; }
    float X() const { return m_x; }
    float Y() const { return m_y; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    const std::vector<Channel>& Channels() const { return m_channels; }
    // The sample of a channel i frames ago (0 = the newest reported).
    float Sample(const Channel& channel, int framesAgo) const;

private:
    Channel& Find(const std::string& channel);

    std::string m_name;
    float m_x, m_y, m_width, m_height;
    std::vector<Channel> m_channels;
    int m_newest = 0; // history slot of the newest frame
};

// Draws monitors on a render device whose matrices map 0..1 to the picture.
class StatMonitorRender {
public:
    explicit StatMonitorRender(RenderDevice* device) : m_device(device) {}
    // pixelWidth, pixelHeight: the size of one pixel in 0..1 coordinates.
    void display(float pixelWidth, float pixelHeight, const StatMonitor& monitor);

private:
    RenderDevice* m_device;
};
