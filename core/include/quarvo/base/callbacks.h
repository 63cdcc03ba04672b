// SPDX-License-Identifier: MIT
// How the converters reach the user without knowing any window: the caller
// hands in a progress step, a message box and, where a conversion can be
// stopped, the question whether to stop.
#pragma once

#include <functional>
#include <string_view>

namespace quarvo {

// Advances a progress display by one step.
using ProgressSink = std::function<void()>;

// Shows a message and returns once the user has read it.
using MessageSink = std::function<void(std::string_view message)>;

// Asked between two items of a conversion that can be stopped; true stops
// it, and it then leaves nothing written (EConversionCancelled). Called on
// the converting thread: it only reads a flag another thread may set.
using CancelCheck = std::function<bool()>;

}  // namespace quarvo
