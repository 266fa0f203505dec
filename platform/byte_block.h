#pragma once
// A byte vector whose growth leaves the new bytes unset instead of zero-filling
// them: for buffers that a read or a writer fills completely straight away (a
// whole file read into memory), where the zero-fill would be a second pass
// over every page. resize(n, value) and assign(n, value) still fill.
//
// Blocks of 2 MiB and more are aligned to 2 MiB and, where the system offers
// it, advised for large pages: a process that has just started otherwise
// takes one page fault per 4 KiB of a whole file it reads or of a terrain grid
// it fills, which costs more than the copy itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#elif defined(_WIN32)
#include <malloc.h>
#endif

namespace large_block {

inline constexpr size_t kAlignment = size_t(2) << 20;

inline bool IsLarge(size_t bytes) { return bytes >= kAlignment; }

inline void* Allocate(size_t bytes) {
    // Not rounded up to whole large pages: the end of the block takes small
    // pages rather than a large page it would fill only in part.
#if defined(_WIN32)
    void* p = ::_aligned_malloc(bytes, kAlignment);
    if (p == nullptr) throw std::bad_alloc();
#else
    void* p = nullptr;
    if (::posix_memalign(&p, kAlignment, bytes) != 0 || p == nullptr) throw std::bad_alloc();
#endif
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(p, bytes & ~(kAlignment - 1), MADV_HUGEPAGE);  // only advice: without large pages the block works the same
#endif
    return p;
}

inline void Free(void* p) {
#if defined(_WIN32)
    ::_aligned_free(p);
#else
    std::free(p);
#endif
}

}  // namespace large_block

template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        if (large_block::IsLarge(n * sizeof(T))) return static_cast<T*>(large_block::Allocate(n * sizeof(T)));
        return std::allocator<T>::allocate(n);
    }
    void deallocate(T* p, size_t n) noexcept {
        if (large_block::IsLarge(n * sizeof(T)))
            large_block::Free(p);
        else
            std::allocator<T>::deallocate(p, n);
    }

    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;  // default-initialised: a byte is left as it is
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using ByteBlock = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;
using FloatBlock = std::vector<float, DefaultInitAllocator<float>>;
// A list of records that may run to megabytes (the ground's points and triangles).
template <class T>
using LargeVector = std::vector<T, DefaultInitAllocator<T>>;
