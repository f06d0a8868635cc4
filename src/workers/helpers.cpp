#include "workers/helpers.h"

#include <chrono>
#include <system_error>

namespace korvalen {

Helpers& Helpers::instance() {
  static Helpers helpers;
  return helpers;
}

void Helpers::run(size_t count, int helpers, const std::function<void(size_t)>& job,
                  const std::function<void(size_t)>& progress) {
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
  work(*task, progress ? &progress : nullptr);
  std::unique_lock<std::mutex> lock(task->mutex);
  const auto allDone = [&] { return task->done.load() == count; };
  if (!progress) {
    task->finished.wait(lock, allDone);
    return;
  }
  while (!task->finished.wait_for(lock, std::chrono::milliseconds(50), allDone)) {
    lock.unlock();
    progress(task->done.load());
    lock.lock();
  }
  // The last job may have ended on a helper: the end is reported here.
  lock.unlock();
  progress(count);
}

Helpers::~Helpers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void Helpers::work(Task& task, const std::function<void(size_t)>* progress) {
  for (size_t j; (j = task.next.fetch_add(1)) < task.count;) {
    task.job(j);
    const size_t done = task.done.fetch_add(1) + 1;
    if (done == task.count) {
      std::lock_guard<std::mutex> lock(task.mutex);
      task.finished.notify_all();
    }
    if (progress) (*progress)(done);
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
    if (task && task->seats.fetch_sub(1) > 0) work(*task, nullptr);
  }
}

}  // namespace korvalen
