#include "events/serial_worker.h"

namespace tavrik {

SerialWorker::SerialWorker()
    : thread_([this](std::stop_token stop) { Run(stop); }) {}

SerialWorker::~SerialWorker() {
    Stop();
}

void SerialWorker::Post(Job job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void SerialWorker::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return stopping_ || (jobs_.empty() && !running_); });
}

void SerialWorker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    idle_.notify_all();
    if (thread_.joinable()) {
        thread_.request_stop(); // also wakes the condition wait in Run
        thread_.join();
    }
}

void SerialWorker::Run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !jobs_.empty(); })) {
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = true;
        lock.unlock();
        job(stop);
        lock.lock();
        running_ = false;
        if (jobs_.empty())
            idle_.notify_all();
    }
}

} // namespace tavrik
