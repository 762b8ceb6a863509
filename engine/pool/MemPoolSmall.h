#pragma once

#include "pool/MemoryPoolObj.h"

#include <cstddef>
#include <new>
#include <utility>

// A named pool for many small objects of one bounded size ("FXDynamics" for dynamics
// objects, "FXChildren" for child-list nodes), taken from the C heap in chunks of
// kMemPoolChunkBlocks objects.
//
// Objects of different classes may share a pool as long as each fits in objectSize; a
// class can route its operator new and delete here. Memory goes back to the heap only
// when the pool is destroyed, so a pool that outlives its users (a function-local static,
// for example) keeps its chunks for reuse. Not thread-safe.
class MemPoolSmall {
public:
    // name is kept by pointer and must outlive the pool. objectSize is the largest object
    // the pool serves (at least 1).
    MemPoolSmall(const char* name, size_t objectSize);

    MemPoolSmall(const MemPoolSmall&) = delete;
    MemPoolSmall& operator=(const MemPoolSmall&) = delete;

    // Uninitialised memory for one object of size bytes; null when the heap is exhausted.
    // size above ObjectSize() is fatal.
    void* Allocate(size_t size);
    // Gives back memory from Allocate; null is ignored.
    void Free(void* object) { m_pool.MemPoolFree(object); }

    // Constructs a T in the pool; null when the heap is exhausted.
    template <class T, class... Args>
    T* New(Args&&... args) {
        static_assert(alignof(T) <= alignof(std::max_align_t));
        void* memory = Allocate(sizeof(T));
        return memory ? new (memory) T(std::forward<Args>(args)...) : nullptr;
    }
    // Destroys an object made by New<T> (the exact class, or a base with a virtual
    // destructor at the same address) and gives its memory back; null is ignored.
    template <class T>
    void Delete(T* object) {
        if (!object)
            return;
        object->~T();
        Free(object);
    }

    // Gives the pool's memory back to the heap when no object is in use.
    void Trim() { m_pool.Trim(); }

    const char* Name() const { return m_pool.Name(); }
    size_t ObjectSize() const { return m_objectSize; }
    // Objects allocated and not yet freed.
    size_t LiveObjects() const { return m_pool.LiveBlocks(); }

private:
    size_t m_objectSize;
    MemoryPoolObj m_pool;
};
