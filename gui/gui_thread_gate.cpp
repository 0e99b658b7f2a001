#include "gui/gui_thread_gate.h"

#include <QThread>

namespace tavrik {

GuiThreadGate::GuiThreadGate(QObject* parent)
    : QObject(parent) {}

bool GuiThreadGate::Run(std::function<void()> call) {
    if (QThread::currentThread() == thread()) {
        if (IsClosed())
            return false;
        call();
        return true;
    }
    auto done = std::make_shared<bool>(false);
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
    }
    // The queued call is dropped with the gate if the gate goes first; it shares only `done`
    // with the waiting thread, which may have stopped waiting when the gate closed.
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call), done] {
            if (IsClosed())
                return;
            call();
            std::lock_guard lock(mutex_);
            *done = true;
            finished_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this, &done] { return *done || closed_; });
    return *done;
}

void GuiThreadGate::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    finished_.notify_all();
}

bool GuiThreadGate::IsClosed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

} // namespace tavrik
