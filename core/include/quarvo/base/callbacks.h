// SPDX-License-Identifier: MIT
// How the converters reach the user without knowing any window: the caller
// hands in a progress step and a message box.
#pragma once

#include <functional>
#include <string_view>

namespace quarvo {

// Advances a progress display by one step.
using ProgressSink = std::function<void()>;

// Shows a message and returns once the user has read it.
using MessageSink = std::function<void(std::string_view message)>;

}  // namespace quarvo
