// SPDX-License-Identifier: MIT
#include "entry_count.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "quarvo/base/errors.h"
#include "quarvo/files/file_layer.h"
#include "quarvo/text/text_search.h"

namespace quarvo {

EntryCount CountEntries(const std::string& name, std::string_view marker,
                        const std::atomic<bool>& cancelled, std::size_t part_bytes) {
    EntryCount result;
    std::error_code not_there;
    if (name.empty() || !std::filesystem::is_regular_file(name, not_there)) return result;
    // A marker that cut at a part's end is found with the part after it,
    // which starts with the bytes before the cut; they are too few to hold a
    // whole marker, so no occurrence is counted twice.
    const std::size_t carried = marker.empty() ? 0 : marker.size() - 1;
    part_bytes = std::max(part_bytes, carried + 1);
    std::int64_t count = 0;
    try {
        FileReading reading(name);
        std::string window(carried + part_bytes, '\0');
        std::size_t held = 0;  // bytes at the window's start from the part before
        for (std::size_t offset = 0; offset < reading.size();) {
            if (cancelled.load(std::memory_order_relaxed)) {
                result.cancelled = true;
                return result;
            }
            const std::size_t bytes = std::min(part_bytes, reading.size() - offset);
            reading.ReadAt(offset, window.data() + held, bytes);
            offset += bytes;
            const std::string_view text(window.data(), held + bytes);
            count += CountOccurrences(text, marker);
            held = std::min(carried, text.size());
            std::copy(text.end() - static_cast<std::ptrdiff_t>(held), text.end(), window.begin());
        }
    } catch (const EStreamError& error) {
        result.error = error.what();
        return result;
    }
    result.count = static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
    result.readable = true;
    return result;
}

}  // namespace quarvo
