#pragma once
// A command host for the core's tests: command lines answer from a script,
// waits return at once, and workers run on real threads with their own stop
// state, so that StopRequested() behaves as on Windows.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/command_host.h"

namespace lumora::fakes {

class FakeHost : public CommandHost {
 public:
  FakeHost() = default;
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;
  ~FakeHost() override { StopAll(); }

  // Told "StartWorkerThread", "StopWorkerThread", "WaitResponsive <ms>" and
  // "RunHiddenCommand <line>" as they happen, on the calling thread. Set it
  // before any worker starts.
  std::function<void(std::string_view)> trace;
  // Runs on each new worker before its entry (a test holds workers there).
  std::function<void()> before_entry;

  // What `command_line` prints. Several outputs for one line answer in turn;
  // the last one then repeats. A line with no script prints nothing.
  void Script(const std::string& command_line, std::string output) {
    std::lock_guard lock(mutex_);
    scripts_[command_line].push_back(std::move(output));
  }
  std::vector<std::string> Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
  }
  std::vector<int> Waits() const {
    std::lock_guard lock(mutex_);
    return waits_;
  }
  int StartedCount() const {
    std::lock_guard lock(mutex_);
    return int(workers_.size());
  }

  // True when every worker started so far, and every worker they started,
  // has ended within `timeout`.
  bool WaitForAllWorkers(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, timeout, [this] { return AllFinished(); });
  }

  // Asks every worker to stop, waits for all of them and joins them.
  void StopAll() {
    std::vector<std::shared_ptr<ThreadWorker>> workers;
    {
      std::unique_lock lock(mutex_);
      for (auto& w : workers_) w->Stop().RequestStop();
      ended_.wait(lock, [this] { return AllFinished(); });
      workers = workers_;
    }
    for (auto& w : workers)
      if (w->thread_.joinable()) w->thread_.join();
  }

  std::string RunHiddenCommand(std::string_view command_line) override {
    Trace("RunHiddenCommand " + std::string(command_line));
    std::lock_guard lock(mutex_);
    commands_.emplace_back(command_line);
    auto it = scripts_.find(std::string(command_line));
    if (it == scripts_.end() || it->second.empty()) return {};
    std::string out = it->second.front();
    if (it->second.size() > 1) it->second.pop_front();
    return out;
  }

  void WaitResponsive(int ms) override {
    Trace("WaitResponsive " + std::to_string(ms));
    std::lock_guard lock(mutex_);
    waits_.push_back(ms);
  }

  WorkerHandle StartWorkerThread(std::function<void()> entry) override {
    Trace("StartWorkerThread");
    auto worker = std::make_shared<ThreadWorker>();
    ThreadWorker* w = worker.get();
    // The thread is created under the lock, so StopAll never sees a worker
    // without its thread.
    std::lock_guard lock(mutex_);
    w->thread_ = std::thread([this, w, entry = std::move(entry)] {
      {
        CurrentStopScope scope(&w->Stop());
        if (before_entry) before_entry();
        if (!w->Stop().StopRequested()) entry();
      }
      std::lock_guard done(mutex_);
      w->finished_ = true;
      ended_.notify_all();
    });
    workers_.push_back(worker);
    return worker;
  }

  // Requests the stop and waits (at most 5 s) for the worker to end; the
  // thread itself is joined by StopAll.
  bool StopWorkerThread(const WorkerHandle& handle) override {
    Trace("StopWorkerThread");
    if (!handle) return true;
    handle->Stop().RequestStop();
    auto* w = static_cast<ThreadWorker*>(handle.get());
    if (w->thread_.get_id() == std::this_thread::get_id()) return false;
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, std::chrono::seconds(5), [w] { return w->finished_.load(); });
  }

 private:
  class ThreadWorker final : public Worker {
   public:
    bool Finished() const override { return finished_.load(); }
    std::atomic<bool> finished_{false};
    std::thread thread_;
  };

  void Trace(const std::string& entry) {
    if (trace) trace(entry);
  }
  bool AllFinished() const {
    for (const auto& w : workers_)
      if (!w->finished_) return false;
    return true;
  }

  mutable std::mutex mutex_;
  std::condition_variable ended_;
  std::vector<std::shared_ptr<ThreadWorker>> workers_;
  std::map<std::string, std::deque<std::string>> scripts_;
  std::vector<std::string> commands_;
  std::vector<int> waits_;
};

}  // namespace lumora::fakes
