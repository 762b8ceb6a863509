#pragma once

// The allocations of one idle pass: every block handed out by the engine's memory library
// (MemCRTAlloc and the pools) is recorded here through the library's allocation callback.
// Room for kCapacity records is reserved once; records beyond it in one pass are dropped,
// so the log never allocates while the library is inside an allocation. The idle loop
// empties it after every pass.

#include "pool/MemCallback.h"

#include <string>
#include <vector>

class SparvAllocationLog {
public:
    static constexpr size_t kCapacity = 16384;

    SparvAllocationLog() = default;
    ~SparvAllocationLog();
    SparvAllocationLog(const SparvAllocationLog&) = delete;
    SparvAllocationLog& operator=(const SparvAllocationLog&) = delete;

    // Reserves the room and installs the callback (replacing any other one).
    void Start();
    // Removes the callback.
    void Stop();
    bool IsStarted() const { return m_started; }
    // Records the call stack of each allocation from now on (costs time per allocation).
    void SetCaptureStacks(bool capture);

    void Clear() { m_records.clear(); }
    const std::vector<MemBlockInfo>& Records() const { return m_records; }
    size_t Capacity() const { return m_records.capacity(); }

    // One line per record: words 0, 1 and 3 in hexadecimal, then for every stack address
    // that resolves to a symbol of a module other than the standard library's and the
    // memory library's, the symbol, a tab, the module and a tab.
    std::string Report() const;

private:
    static void OnAllocation(const char* pool, const MemBlockInfo& info, void* context);

    std::vector<MemBlockInfo> m_records;
    bool m_started = false;
    bool m_captureStacks = false;
};
