#include "workers/helpers.h"

#include <system_error>

namespace korvalen {

Helpers& Helpers::instance() {
  static Helpers helpers;
  return helpers;
}

void Helpers::run(size_t count, int helpers, const std::function<void(size_t)>& job) {
  auto task = std::make_shared<Task>(count, helpers, job);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    try {
      while (static_cast<int>(threads_.size()) < helpers)
        threads_.emplace_back([this] { serve(); });
    } catch (const std::system_error&) {
      // No more threads to be had: the jobs go to those there are.
    }
    task_ = task;
    ++generation_;
  }
  wake_.notify_all();
  work(*task);
  std::unique_lock<std::mutex> lock(task->mutex);
  task->finished.wait(lock, [&] { return task->done.load() == count; });
}

Helpers::~Helpers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void Helpers::work(Task& task) {
  for (size_t j; (j = task.next.fetch_add(1)) < task.count;) {
    task.job(j);
    if (task.done.fetch_add(1) + 1 == task.count) {
      std::lock_guard<std::mutex> lock(task.mutex);
      task.finished.notify_all();
    }
  }
}

void Helpers::serve() {
  uint64_t seen = 0;
  for (;;) {
    std::shared_ptr<Task> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      task = task_;
    }
    if (task && task->seats.fetch_sub(1) > 0) work(*task);
  }
}

}  // namespace korvalen
