#include "pool/MemCallback.h"

#include <atomic>
#include <execinfo.h>

namespace {

struct Installed {
    MemAllocCallback callback = nullptr;
    void* context = nullptr;
    bool withStack = false;
};

// Installed from the program's main thread while nothing allocates on another one.
Installed g_installed;
std::atomic<bool> g_active{false};
std::atomic<uint32_t> g_serial{0};

} // namespace

void MemCBAlloc(MemAllocCallback callback, void* context, bool withStack) {
    g_active.store(false, std::memory_order_release);
    g_installed = {callback, context, withStack};
    g_active.store(callback != nullptr, std::memory_order_release);
}

void MemCBNotify(const char* pool, const void* block, size_t size, uint32_t category) {
    if (!g_active.load(std::memory_order_acquire))
        return;
    MemBlockInfo info;
    info.words[0] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block));
    info.words[1] = static_cast<uint32_t>(size);
    info.words[2] = category;
    info.words[3] = g_serial.fetch_add(1, std::memory_order_relaxed);
    if (g_installed.withStack) {
        // One frame more than kept: the innermost is this function.
        void* frames[33];
        const int count = ::backtrace(frames, 33);
        for (int i = 1; i < count; ++i)
            info.stack[i - 1] = reinterpret_cast<uintptr_t>(frames[i]);
    }
    g_installed.callback(pool, info, g_installed.context);
}
