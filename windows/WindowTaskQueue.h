// Carries work from other threads to a window's thread, in the order it was handed over.
// The framework is single-threaded, so worker threads never touch controls themselves: they
// push a task and the window runs it when its message arrives. A completion message that a
// worker posts after its tasks is handled after them too, since posted messages keep their
// order.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

class WindowTaskQueue {
 public:
  // The window's private message that says "tasks are waiting".
  static constexpr UINT kMessage = WM_APP + 0x2D;

  void Attach(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
  }

  // Any thread. Tasks pushed before the window exists or after it is gone are dropped.
  void Push(std::function<void()> task);
  // Window thread, on kMessage: runs every waiting task, oldest first. Tasks pushed while it
  // runs wait for their own message.
  void RunPending();

 private:
  std::mutex mutex_;
  HWND window_ = nullptr;
  std::deque<std::function<void()>> tasks_;
};
