// SPDX-License-Identifier: MIT
// Work a window has done on a thread of its own, so that the window keeps
// painting, and whose result it takes in on its own thread: each piece runs
// on a new thread, which posts the window a message carrying what is to run
// next; the window runs it from its message handler (RunPosted).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvo::win32 {

class OffThreadWork {
  public:
    // `message` is the window's own (WM_APP and up) for the results.
    explicit OffThreadWork(UINT message) : message_(message) {}
    // Waits for the threads still running.
    ~OffThreadWork() { Finish(); }
    OffThreadWork(const OffThreadWork&) = delete;
    OffThreadWork& operator=(const OffThreadWork&) = delete;

    // Runs `work` on a thread and posts what it returns to `window`.
    void Start(HWND window, std::function<std::function<void()>()> work);

    // Waits for the threads still running, then frees what they posted to
    // `window` that it has not taken in yet, unrun.
    void Finish(HWND window = nullptr);

    // The window's handling of `message`: runs what its lParam carries.
    static void RunPosted(LPARAM l);

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    UINT message_;
    std::vector<Worker> workers_;
};

}  // namespace quarvo::win32
