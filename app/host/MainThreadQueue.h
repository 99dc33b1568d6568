// The main thread's work list when there is no window toolkit to run one: tasks posted from any
// thread run, in order, on the thread that drains the queue.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace app {

class MainThreadQueue {
public:
  // Any thread.
  void post(std::function<void()> task);
  // Runs tasks as they arrive until done() holds (checked before each wait). The draining
  // thread only.
  void runUntil(const std::function<bool()>& done);

private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> tasks_;
};

} // namespace app
