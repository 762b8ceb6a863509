#include "host/WindowInterface.h"

#include <utility>

namespace {
WindowInterface* g_current = nullptr;
}

WindowInterface* WindowInterface::i() {
    return g_current;
}

WindowInterface* WindowInterface::SetCurrent(WindowInterface* window) {
    return std::exchange(g_current, window);
}
