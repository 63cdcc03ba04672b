// SPDX-License-Identifier: MIT
#include "off_thread_work.h"

#include <utility>

namespace quarvo::win32 {

void OffThreadWork::Start(HWND window, std::function<std::function<void()>()> work) {
    // Threads that have ended are joined as new ones start, so that typing
    // a long name leaves no trail of them.
    std::erase_if(workers_, [](Worker& worker) {
        if (!worker.done->load()) return false;
        worker.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([window, message = message_, work = std::move(work), done] {
        auto next = std::make_unique<std::function<void()>>();
        try {
            *next = work();
        } catch (...) {
            // The work reports its own failures in its result; a thread
            // must not end the program with what escapes it.
            next.reset();
        }
        if (next && PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(next.get())) != FALSE)
            next.release();
        done->store(true);
    });
    workers_.push_back({std::move(thread), std::move(done)});
}

void OffThreadWork::Finish(HWND window) {
    for (Worker& worker : workers_) worker.thread.join();
    workers_.clear();
    if (window == nullptr) return;
    MSG posted;
    while (PeekMessageW(&posted, window, message_, message_, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(posted.lParam);
}

void OffThreadWork::RunPosted(LPARAM l) {
    const std::unique_ptr<std::function<void()>> next(reinterpret_cast<std::function<void()>*>(l));
    (*next)();
}

}  // namespace quarvo::win32
