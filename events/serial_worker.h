#pragma once
// One background thread that runs posted jobs one after the other, in the order they were
// posted. Posting never blocks, so a transport callback can hand work to it; the order of jobs
// is the order of the events that caused them.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace tavrik {

class SerialWorker {
public:
    // A job gets the worker's stop token: long waits inside a job must end when it is set.
    using Job = std::function<void(std::stop_token)>;

    SerialWorker();
    // Stops the worker: jobs not yet started are dropped, the running one is asked to stop
    // and waited for.
    ~SerialWorker();

    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    // Queues a job; ignored once stopping has begun.
    void Post(Job job);

    // Returns once every job posted before the call has finished (for orderly hand-overs and
    // tests); returns at once when the worker is stopping.
    void WaitUntilIdle();

    // Drops the queued jobs, asks the running one to stop and joins the thread. Idempotent.
    void Stop();

private:
    void Run(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool running_ = false; // a job is executing
    bool stopping_ = false;
    std::jthread thread_; // last: started after every other member exists
};

} // namespace tavrik
