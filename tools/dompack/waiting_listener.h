#pragma once

// An extraction listener for a caller that blocks until the run has ended: Wait returns the run's
// result and what failed first.

#include <condition_variable>
#include <mutex>

#include "engine/extraction.h"

class WaitingListener : public ExtractionListener {
  public:
    void OnExtractionFailed(const ExtractionFailure& failure) override {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = failure;
    }
    void OnExtractionDone(int result) override {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = result;
        done_.notify_all();
    }
    int Wait(ExtractionFailure* failure) {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return result_ >= 0; });
        *failure = failure_;
        return result_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    int result_ = -1;
    ExtractionFailure failure_;
};
