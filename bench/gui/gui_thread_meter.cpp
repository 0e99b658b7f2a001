#include "bench/gui/gui_thread_meter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace tavrik::bench {

GuiThreadMeter::GuiThreadMeter(const QWidget& window)
    : window_(window) {
    timer_.setInterval(1);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Stamp(); });
}

void GuiThreadMeter::Start() {
    longest_ = {};
    turns_ = 0;
    paints_ = 0;
    QCoreApplication::instance()->installEventFilter(this);
    last_ = Clock::now();
    timer_.start();
}

void GuiThreadMeter::Stop() {
    Stamp();
    timer_.stop();
    QCoreApplication::instance()->removeEventFilter(this);
}

void GuiThreadMeter::Stamp() {
    const Clock::time_point now = Clock::now();
    longest_ = std::max(longest_, Milliseconds(now - last_));
    last_ = now;
    ++turns_;
}

bool GuiThreadMeter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        const auto* widget = static_cast<const QWidget*>(watched);
        if (widget == &window_ || window_.isAncestorOf(widget))
            ++paints_;
    }
    return false;
}

} // namespace tavrik::bench
