// SPDX-License-Identifier: MIT
// A hint for the large buffers that whole files are held in.
#pragma once

#include <cstddef>
#include <string>

namespace quarvo {

// Asks the kernel to back the reserved capacity of `buffer` with huge pages:
// a file of tens of megabytes then costs a few dozen page faults instead of
// thousands. Only a hint; where it is not supported nothing changes.
void AdviseHugePages(std::string& buffer) noexcept;

// The same for the `bytes` bytes at `data`.
void AdviseHugePages(void* data, std::size_t bytes) noexcept;

// The same for a block from malloc that may be grown with realloc later: the
// hint covers the block's pages whole, as one that covers only its whole huge
// pages cuts its mapping in parts that can no longer be moved as one, and
// realloc then copies the block instead.
void AdviseHugePagesGrowable(void* data, std::size_t bytes) noexcept;

// Maps the pages under the `bytes` bytes at `data` ready for writing in one
// call, where the system can, instead of one page fault per page as they
// are first written. Only a hint.
void PrepareForWriting(void* data, std::size_t bytes) noexcept;

}  // namespace quarvo
