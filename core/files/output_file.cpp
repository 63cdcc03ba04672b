// SPDX-License-Identifier: MIT
#include "files/output_file.h"

namespace quarvo {

void OutputFile::Begin() {
    if (!file_) file_.emplace(file_name_);
}

void OutputFile::Write(std::string_view text) noexcept {
    if (failure_) return;
    try {
        Begin();
        file_->Write(text);
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void OutputFile::Finish() {
    if (failure_) std::rethrow_exception(failure_);
    Begin();
    file_->Commit();
}

}  // namespace quarvo
