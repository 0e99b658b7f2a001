#include "emulator/delivery_thread.h"

namespace tavrik::emu {

DeliveryThread::DeliveryThread()
    : thread_([this] { Run(); }) {}

DeliveryThread::~DeliveryThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void DeliveryThread::Post(Clock::time_point due, std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.emplace(std::make_pair(due, posted_++), std::move(task));
    }
    changed_.notify_all();
}

void DeliveryThread::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (tasks_.empty() && !running_); });
}

void DeliveryThread::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (tasks_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto due = tasks_.begin()->first.first;
        if (Clock::now() < due) {
            changed_.wait_until(lock, due);
            continue;
        }
        auto task = std::move(tasks_.begin()->second);
        tasks_.erase(tasks_.begin());
        running_ = true;
        lock.unlock();
        task();
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

} // namespace tavrik::emu
