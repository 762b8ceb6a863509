#pragma once

// The allocation callback of the engine's memory library: a program can watch every
// allocation made through MemCRTAlloc and the pools (the editor logs those of each frame).

#include <cstddef>
#include <cstdint>

// What the callback learns about one allocation.
struct MemBlockInfo {
    // 0: the block's address (low 32 bits); 1: the size asked for in bytes; 2: the
    // MemCRTAlloc category, or 0xFFFFFFFF for a pool block; 3: the allocation's serial
    // number, counting every allocation reported since the program started.
    uint32_t words[4] = {};
    // Return addresses of the allocating call stack, innermost first; 0 past the end.
    // Filled only when the callback asked for stacks.
    uintptr_t stack[32] = {};
};

// pool: "CRT" for MemCRTAlloc, the pool's name for a pool block. Runs on the allocating
// thread, inside the allocation: it must not allocate through this library itself.
using MemAllocCallback = void (*)(const char* pool, const MemBlockInfo& info, void* context);

// Installs the callback (null removes it) with a context handed back on every call.
// withStack: capture the call stack of each allocation (costs a few microseconds each).
void MemCBAlloc(MemAllocCallback callback, void* context = nullptr, bool withStack = false);

// Reports one allocation to the installed callback, if any; the allocators call it.
void MemCBNotify(const char* pool, const void* block, size_t size, uint32_t category);
