// SPDX-License-Identifier: MIT
#include "files/input_file.h"

#include <algorithm>
#include <new>

#include "text/large_buffer.h"
#include "text/line_ends.h"

namespace quarvo {

InputFile::InputFile(const std::string& file_name) {
    file_.emplace(file_name);
    const std::size_t size = file_->size();
    bytes_.reset(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
    if (!bytes_) throw std::bad_alloc();
    AdviseHugePagesGrowable(bytes_.get(), size);
    text_ = std::string_view(bytes_.get(), size);
}

void InputFile::Read(std::size_t begin, std::size_t end) {
    end = std::min(end, text_.size());
    if (begin >= end) return;
    file_->ReadAt(begin, bytes_.get() + begin, end - begin);
}

void InputFile::MakeLineEndsCrLf() {
    const std::size_t size = text_.size();
    const std::size_t growth = CrLfLineEndsGrowth(text_);
    if (growth == 0) return;
    char* const grown = static_cast<char*>(std::realloc(bytes_.get(), size + growth));
    if (grown == nullptr) throw std::bad_alloc();
    (void)bytes_.release();
    bytes_.reset(grown);
    MakeLineEndsCrLfInPlace(grown, size, growth);
    text_ = std::string_view(grown, size + growth);
}

void InputFile::Release() noexcept {
    file_.reset();
    bytes_.reset();
    text_ = {};
}

}  // namespace quarvo
