#include "platform/large_memory.h"

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <limits>
#include <string>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace farlous {

namespace {

// Smaller blocks come from the heap.
constexpr std::size_t kOwnBlock = std::size_t{256} << 10;
// The size of a huge page on the systems that have them.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

#ifdef __linux__
std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// Whole huge pages once there is one: a tail of small pages would cost up to 512 faults to spare
// under 2 MiB.
std::size_t MappedLength(std::size_t bytes) {
    return bytes >= kHugePage ? RoundUp(bytes, kHugePage)
                              : RoundUp(bytes, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
}

// `length` bytes starting on a huge page: mapped one huge page too long, then trimmed.
void* MapOnHugePages(std::size_t length) {
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return mapped;
    auto* start = static_cast<char*>(mapped);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t offset = RoundUp(address, kHugePage) - address;
    char* block = start + offset;
    if (offset > 0) ::munmap(start, offset);
    ::munmap(block + length, kHugePage - offset);
    // A hint: a kernel without huge pages maps small ones.
    ::madvise(block, length, MADV_HUGEPAGE);
    return block;
}
#endif

}  // namespace

std::size_t AvailableMemory() {
#ifdef __linux__
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        if (line.starts_with("MemAvailable:")) return std::stoull(line.substr(13)) * 1024;
    }
#elif defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        // A 32-bit process runs out of addresses long before the machine runs out of memory.
        const DWORDLONG available = status.ullAvailPhys < status.ullAvailVirtual
                                        ? status.ullAvailPhys
                                        : status.ullAvailVirtual;
        if (available < std::numeric_limits<std::size_t>::max())
            return static_cast<std::size_t>(available);
    }
#endif
    return std::numeric_limits<std::size_t>::max();
}

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kOwnBlock) return ::operator new(bytes);
    if (bytes > AvailableMemory()) throw std::bad_alloc();
#ifdef __linux__
    const std::size_t length = MappedLength(bytes);
    void* block = length >= kHugePage ? MapOnHugePages(length)
                                      : ::mmap(nullptr, length, PROT_READ | PROT_WRITE,
                                               MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    // A kernel too old to populate faults pages in as they come; only a lack of memory is final.
    if (::madvise(block, length, MADV_POPULATE_WRITE) != 0 && errno == ENOMEM) {
        ::munmap(block, length);
        throw std::bad_alloc();
    }
    return block;
#else
    return ::operator new(bytes);
#endif
}

void FreeLarge(void* block, [[maybe_unused]] std::size_t bytes) noexcept {
#ifdef __linux__
    if (bytes >= kOwnBlock) {
        ::munmap(block, MappedLength(bytes));
        return;
    }
#endif
    ::operator delete(block);
}

}  // namespace farlous
