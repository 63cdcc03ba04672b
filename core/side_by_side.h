// Running the two halves of a conversion on two threads. Not part of the
// public interface.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "callbacks.h"

namespace quarvo {

// Below this size a second thread costs more than it saves.
inline constexpr std::size_t kSideBySideBytes = std::size_t{512} << 10;

// Runs `there` on a second thread while `here` runs on this one, and returns
// when both are done. An exception from either reaches the caller. Where no
// thread can be started, `there` runs here after `here`.
template <class Here, class There>
void RunSideBySide(Here&& here, There&& there) {
    std::exception_ptr failure_there;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                there();
            } catch (...) {
                failure_there = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        here();
        there();
        return;
    }
    try {
        here();
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure_there) std::rethrow_exception(failure_there);
}

// Progress steps taken on a helper thread, handed to the caller's sink on
// the caller's thread, which is the one a window may be painted from: each
// step taken here first passes on the steps the helper has taken meanwhile.
class RelayedProgress {
  public:
    explicit RelayedProgress(const ProgressSink& sink) : sink_(sink) {}
    RelayedProgress(const RelayedProgress&) = delete;
    RelayedProgress& operator=(const RelayedProgress&) = delete;

    // The sink for the calling thread.
    [[nodiscard]] ProgressSink Here() {
        if (!sink_) return {};
        return [this] {
            PassOn();
            sink_();
        };
    }
    // The sink for the helper thread.
    [[nodiscard]] ProgressSink There() {
        if (!sink_) return {};
        return [this] { pending_.fetch_add(1, std::memory_order_relaxed); };
    }
    // Passes on the helper's remaining steps; call on the caller's thread
    // once the helper is done.
    void PassOn() {
        for (std::size_t steps = pending_.exchange(0, std::memory_order_relaxed); steps > 0; --steps)
            sink_();
    }

  private:
    const ProgressSink& sink_;
    std::atomic<std::size_t> pending_{0};
};

}  // namespace quarvo
