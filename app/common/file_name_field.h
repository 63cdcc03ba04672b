// SPDX-License-Identifier: MIT
// How a file-name field shows a name and gives it back: a name that holds a
// blank is shown between double quotes, and the quotes at the two ends of a
// field's text are never part of the name.
#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// The field's text for `name`. Throws quarvo::Exception "Invalid file name - "
// and the name for a name no file can have (on Windows a control character
// or one of <>|"*?).
[[nodiscard]] std::string FieldTextForFileName(std::string_view name);

// The file name a field's text stands for.
[[nodiscard]] std::string FileNameFromFieldText(std::string_view text);

}  // namespace quarvo
