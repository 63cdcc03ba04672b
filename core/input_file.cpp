#include "input_file.h"

#include <algorithm>

#include "large_buffer.h"
#include "line_ends.h"

namespace quarvo {

InputFile::InputFile(const std::string& file_name) {
    file_.emplace(file_name);
    const std::size_t size = file_->size();
    bytes_.reset(new char[size]);
    AdviseHugePages(bytes_.get(), size);
    text_ = std::string_view(bytes_.get(), size);
}

void InputFile::Read(std::size_t begin, std::size_t end) {
    end = std::min(end, text_.size());
    if (begin >= end) return;
    file_->ReadAt(begin, bytes_.get() + begin, end - begin);
}

void InputFile::MakeLineEndsCrLf() {
    crlf_ = WithCrLfLineEnds(text_);
    bytes_.reset();
    text_ = crlf_;
}

void InputFile::Release() noexcept {
    file_.reset();
    bytes_.reset();
    std::string().swap(crlf_);
    text_ = {};
}

}  // namespace quarvo
