// SPDX-License-Identifier: MIT
// Running the two halves of a conversion on two threads. Not part of the
// public interface.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "quarvo/base/callbacks.h"
#include "text/line_ends.h"
#include "text/text_buffer.h"

namespace quarvo {

// Runs `there` on a second thread while `here` runs on this one, and returns
// when both are done. An exception from either reaches the caller. Where no
// thread can be started, `alone()` runs first, then `there` here and `here`
// after it, so `here` may wait for something `there` does but not the other
// way round.
template <class Here, class There, class Alone>
void RunSideBySide(Here&& here, There&& there, Alone&& alone) {
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
        alone();
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

template <class Here, class There>
void RunSideBySide(Here&& here, There&& there) {
    RunSideBySide(here, there, [] {});
}

// How much converted text the first part may hold back while the second
// part is not yet known to be kept; past it, the first part waits.
inline constexpr std::size_t kHeldBackBytes = 8 * kOutputBlockBytes;

// The second thread's verdict on its part: read at every step of the first
// thread, waited for at most twice. The wait is on a condition variable, not
// std::atomic::wait, which in MinGW's libstdc++ 12 can miss the notification
// and never wake.
class PartVerdict {
  public:
    enum : int { kPending, kKept, kToJudge, kFailed };

    [[nodiscard]] int load() const noexcept { return value_.load(std::memory_order_acquire); }

    // Gives `value` unless a verdict was given before.
    void Give(int value) {
        {
            std::lock_guard lock(mutex_);
            int pending = kPending;
            value_.compare_exchange_strong(pending, value, std::memory_order_acq_rel);
        }
        given_.notify_all();
    }

    void WaitForIt() {
        std::unique_lock lock(mutex_);
        given_.wait(lock, [this] { return load() != kPending; });
    }

  private:
    std::atomic<int> value_{kPending};
    std::mutex mutex_;
    std::condition_variable given_;
};

// Converts the two parts of a text side by side: `here(sink, drain)` on this
// thread, appending to `here_text`, and `there(sink, drain)` on a second
// one, each with a progress sink and a drain for its blocks of text, after
// `prepare_here()` and `prepare_there()` have run on the same threads (they
// may read the parts in).
//
// With `check_line_ends`, each part is first checked for line ends other
// than CR LF (see NeedsCrLfLineEnds); a part that has them means the whole
// text must be judged before it can be converted, and false is then returned
// with nothing delivered, neither text nor progress steps. So that nothing is
// delivered in vain, both are held back until the second part is known to be
// kept.
//
// The second part's text comes back to this thread in blocks while the
// second one is still converting; the blocks waiting hold at most
// `most_held` bytes of room. With a `deliver` sink, the first part's text
// goes to it as it is made, then the rest of `here_text`, then the second
// part's blocks. Without one, the blocks are appended to `here_text`. What
// the second part leaves in its own buffer is left to the caller.
//
// Progress steps taken on the second thread are handed to `progress` on
// this one, the one a window may be painted from.
template <class PrepareHere, class PrepareThere, class Here, class There>
bool ConvertSideBySide(std::string_view here_part, std::string_view there_part,
                       bool check_line_ends, std::size_t most_held, const ProgressSink& progress,
                       const BlockSink& deliver, TextBuffer& here_text, PrepareHere&& prepare_here,
                       PrepareThere&& prepare_there, Here&& here, There&& there) {
    PartVerdict there_verdict;
    std::atomic<bool> judge_here{false};
    std::atomic<std::size_t> held_steps{0};

    const auto kept = [&] { return there_verdict.load() == PartVerdict::kKept; };
    const auto pass_on_held = [&] {
        if (!progress) return;
        for (std::size_t steps = held_steps.exchange(0); steps > 0; --steps) progress();
    };
    ProgressSink here_sink;
    ProgressSink there_sink;
    if (progress) {
        here_sink = [&] {
            if (!kept()) {
                held_steps.fetch_add(1, std::memory_order_relaxed);
                return;
            }
            pass_on_held();
            progress();
        };
        there_sink = [&] { held_steps.fetch_add(1, std::memory_order_relaxed); };
    }

    BlockChannel channel(most_held);
    BlockSink here_drain;
    if (deliver) {
        here_drain = [&](TextBuffer& block) {
            if (there_verdict.load() == PartVerdict::kPending) {
                if (block.size() < kHeldBackBytes) return false;
                there_verdict.WaitForIt();
            }
            if (kept()) return deliver(block);
            block.Clear();  // made in vain: the text is converted once more
            return true;
        };
    }
    const BlockSink there_drain = [&](TextBuffer& block) {
        channel.Send(block);
        return true;
    };
    const BlockSink gather = [&](TextBuffer& block) {
        here_text.Append(block.view());
        block.Clear();
        return true;
    };
    const BlockSink& sink = deliver ? deliver : gather;

    RunSideBySide(
        [&] {
            // However this ends, the second thread must not wait for room
            // in the channel in vain.
            struct Ending {
                BlockChannel& channel;
                ~Ending() { channel.Abandon(); }
            } ending{channel};
            prepare_here();
            if (check_line_ends && NeedsCrLfLineEnds(here_part)) {
                judge_here.store(true);
                return;
            }
            here(here_sink, here_drain);
            // As a rule the second part was read and checked long ago.
            there_verdict.WaitForIt();
            if (!kept()) return;
            if (deliver) deliver(here_text);
            channel.DeliverAll([&](TextBuffer& block) {
                pass_on_held();
                return sink(block);
            });
        },
        [&] {
            // Whatever happens here, the first thread must not wait for
            // a verdict or a block in vain.
            struct Ending {
                PartVerdict& verdict;
                BlockChannel& channel;
                ~Ending() {
                    verdict.Give(PartVerdict::kFailed);
                    channel.Close();
                }
            } ending{there_verdict, channel};
            prepare_there();
            const bool judge = check_line_ends && NeedsCrLfLineEnds(there_part);
            there_verdict.Give(judge ? PartVerdict::kToJudge : PartVerdict::kKept);
            if (!judge && !judge_here.load()) there(there_sink, there_drain);
        },
        [&] { channel.HoldAll(); });
    if (judge_here.load() || !kept()) return false;
    pass_on_held();
    return true;
}

}  // namespace quarvo
