#pragma once
// A byte vector whose growth leaves the new bytes unset instead of zero-filling
// them: for buffers that a read or a writer fills completely straight away (a
// whole file read into memory), where the zero-fill would be a second pass
// over every page. resize(n, value) and assign(n, value) still fill.

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;  // default-initialised: a byte is left as it is
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using ByteBlock = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;
