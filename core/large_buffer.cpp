#include "large_buffer.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quarvo {

void AdviseHugePages([[maybe_unused]] std::string& buffer) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (buffer.capacity() < 2 * kHugePage) return;
    const auto data = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t begin = (data + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (data + buffer.capacity()) & ~(kHugePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace quarvo
