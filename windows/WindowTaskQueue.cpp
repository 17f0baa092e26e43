#include "windows/WindowTaskQueue.h"

#include <utility>

void WindowTaskQueue::Push(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!window_ || !::IsWindow(window_)) return;
  const bool wasEmpty = tasks_.empty();
  tasks_.push_back(std::move(task));
  // One message per batch: while one is on its way, later tasks ride with it.
  if (wasEmpty && !::PostMessageW(window_, kMessage, 0, 0)) tasks_.clear();
}

void WindowTaskQueue::RunPending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(tasks_);
  }
  for (auto& task : batch) task();
}
