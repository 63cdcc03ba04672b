#include "input_file.h"

#include <algorithm>

#include "large_buffer.h"
#include "line_ends.h"

namespace quarvo {

InputFile::InputFile(const std::string& file_name) {
    if (!PathExists(file_name)) return;
    file_.emplace(file_name);
    const std::size_t size = file_->size();
    bytes_.reset(new char[size]);
    AdviseHugePages(bytes_.get(), size);
    text_ = std::string_view(bytes_.get(), size);
}

void InputFile::ReadUpTo(std::size_t end) {
    end = std::min(end, text_.size());
    if (end <= arrived_) return;
    file_->ReadNext(bytes_.get() + arrived_, end - arrived_);
    arrived_ = end;
}

void InputFile::MakeLineEndsCrLf() {
    ReadRest();
    crlf_ = WithCrLfLineEnds(text_);
    bytes_.reset();
    text_ = crlf_;
    arrived_ = text_.size();
}

void InputFile::Release() noexcept {
    file_.reset();
    bytes_.reset();
    std::string().swap(crlf_);
    text_ = {};
    arrived_ = 0;
}

}  // namespace quarvo
