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
#include "line_ends.h"

namespace quarvo {

// Below this size a second thread costs more than it saves.
inline constexpr std::size_t kSideBySideBytes = std::size_t{512} << 10;

// A text is cut halfway. A file conversion cuts a little earlier, because
// the part converted on the caller's thread is also written to the file
// meanwhile.
inline constexpr double kTextCutShare = 0.5;
inline constexpr double kFileCutShare = 0.45;

// Near where a text of `size` bytes is cut: nowhere (past its end) when it is
// small, else at `share` of it.
[[nodiscard]] inline std::size_t CutPoint(std::size_t size, double share) noexcept {
    if (size < kSideBySideBytes) return std::string_view::npos;
    return static_cast<std::size_t>(static_cast<double>(size) * share);
}

// Runs `there` on a second thread while `here` runs on this one, and returns
// when both are done. An exception from either reaches the caller. Where no
// thread can be started, `there` runs here first and `here` after it, so
// `here` may wait for something `there` does but not the other way round.
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
        there();
        here();
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

// Converts the two parts of a text side by side: `here(sink)` on this thread
// and `there(sink)` on a second one, each with the progress sink for its
// thread. With `check_line_ends`, each part is first searched for a bare
// line feed, which means the whole text needs its line ends made CR LF
// before it can be converted. Then nothing is delivered unless neither part
// holds one: `here` waits for the verdict on the other part before it starts
// (it may write to a file), and false is returned when a part held one, with
// no progress step passed on.
template <class Here, class There>
bool ConvertSideBySide(std::string_view here_part, std::string_view there_part,
                       bool check_line_ends, const ProgressSink& progress, Here&& here,
                       There&& there) {
    enum Verdict : int { kPending, kCrLf, kBareLineFeed };
    std::atomic<int> there_verdict{check_line_ends ? kPending : kCrLf};
    std::atomic<bool> bare_here{false};
    RelayedProgress relay(progress);
    RunSideBySide(
        [&, sink = relay.Here()] {
            if (check_line_ends && HasBareLineFeed(here_part)) {
                bare_here.store(true);
                return;
            }
            there_verdict.wait(kPending);
            if (there_verdict.load() == kCrLf) here(sink);
        },
        [&, sink = relay.There()] {
            if (check_line_ends) {
                const bool bare = HasBareLineFeed(there_part);
                there_verdict.store(bare ? kBareLineFeed : kCrLf);
                there_verdict.notify_one();
                if (bare) return;
            }
            if (!bare_here.load()) there(sink);
        });
    if (bare_here.load() || there_verdict.load() == kBareLineFeed) return false;
    relay.PassOn();
    return true;
}

}  // namespace quarvo
