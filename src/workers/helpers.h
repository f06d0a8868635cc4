#pragma once
// The threads that help the program's long runs (the shading on all cores),
// started when a run first needs them and kept for the next runs: starting a
// thread costs little on an idle processor, but on a busy one it can wait
// milliseconds for its first turn, longer than a small map takes. A run hands
// out numbered jobs; the calling thread takes them too, and the run returns
// when every job is done, so a helper that wakes late finds nothing left and
// costs the run nothing.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace korvalen {

class Helpers {
 public:
  static Helpers& instance();

  // job(0) .. job(count - 1), each exactly once, on this thread and at most
  // `helpers` others; job must not throw. `progress`, when given, is called on
  // this thread only, with the number of jobs done so far: after each job this
  // thread finishes and about every 50 ms while it waits for the others' last
  // jobs, so that a window can show how far a long run has come; the last
  // call is with `count`.
  void run(size_t count, int helpers, const std::function<void(size_t)>& job,
           const std::function<void(size_t done)>& progress = {});

  ~Helpers();

 private:
  Helpers() = default;

  struct Task {
    Task(size_t n, int helpers, const std::function<void(size_t)>& j)
        : count(n), seats(helpers), job(j) {}
    const size_t count;
    std::atomic<int> seats;  // helpers that may still join in
    const std::function<void(size_t)>& job;  // read only while a job is left
    std::atomic<size_t> next{0}, done{0};
    std::mutex mutex;
    std::condition_variable finished;
  };

  static void work(Task& task, const std::function<void(size_t)>* progress);
  void serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<Task> task_;
  uint64_t generation_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace korvalen
