#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace farlous {

// Memory for a whole jokes file and for its line index. Blocks from a quarter megabyte up are
// taken straight from the system, in huge pages where it offers them, and touched in one go:
// faulting in a file's worth of 4 KiB pages one by one costs several times the read itself. A
// block larger than the memory the system has free fails at once with std::bad_alloc, rather
// than pushing the machine into swap or waking the out-of-memory killer.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// Physical memory that can be had now without swapping; the largest size_t when unknown.
std::size_t AvailableMemory();

// For containers of such blocks. Elements are default-initialised, so growing a buffer that a
// read is about to fill writes nothing first.
template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    explicit LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLarge(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { FreeLarge(block, count * sizeof(T)); }

    template <typename U>
    void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

}  // namespace farlous
