#pragma once
// What the GUI thread did during a period: the longest gap between two turns of its event loop,
// seen through a 1 ms timer that stamps each turn it gets (a slow event handler or a blocked
// thread delays the next stamp), and the paint events the watched window and its children
// received. A 1 ms timer rather than a 0 ms one, so that measuring does not spin a core that the
// keyboard worker and the emulated keyboard need.

#include <QObject>
#include <QTimer>

#include <chrono>

class QWidget;

namespace tavrik::bench {

class GuiThreadMeter final : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    using Milliseconds = std::chrono::duration<double, std::milli>;

    explicit GuiThreadMeter(const QWidget& window);

    void Start();
    void Stop();

    Milliseconds LongestGap() const { return longest_; }
    int Turns() const { return turns_; }
    int Paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Stamp();

    const QWidget& window_;
    QTimer timer_;
    Clock::time_point last_{};
    Milliseconds longest_{};
    int turns_ = 0;
    int paints_ = 0;
};

} // namespace tavrik::bench
