#pragma once
// Synchronous calls from the keyboard's worker threads into the window's thread. A worker that
// must ask the user something (a message, a Yes/No question) queues the call to the window's
// thread and waits for its answer. Once the window starts closing, the gate is closed: calls
// waiting are released with no answer and later calls return at once, so the window's thread can
// stop the workers without waiting for itself.

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace tavrik {

class GuiThreadGate : public QObject {
    Q_OBJECT
public:
    explicit GuiThreadGate(QObject* parent = nullptr);

    // Runs `call` on the gate's thread and returns its result; nothing when the gate is or
    // becomes closed before the call ran. Called on the gate's own thread, it runs at once.
    template <typename Result>
    std::optional<Result> Call(std::function<Result()> call) {
        auto result = std::make_shared<std::optional<Result>>();
        const bool ran = Run([call = std::move(call), result] { *result = call(); });
        return ran ? *result : std::nullopt;
    }

    // The same for calls without a result; true when the call ran.
    bool Run(std::function<void()> call);

    // Refuses every call from now on and releases the waiting ones. The gate's thread only.
    void Close();
    bool IsClosed() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    bool closed_ = false;
};

} // namespace tavrik
