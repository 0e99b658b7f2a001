#pragma once
// A small picture that animates while the program waits for a device: it steps through its
// frames every 50 ms while busy and hides itself 100 ms after the last piece of work ended, so
// even a short wait is seen. Busy periods may nest; the picture stays up until the outermost
// ends.

#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <vector>

namespace tavrik {

class BusyIndicator : public QLabel {
    Q_OBJECT
public:
    static constexpr int kFrameIntervalMs = 50;
    static constexpr int kHideDelayMs = 100;

    explicit BusyIndicator(std::vector<QPixmap> frames, QWidget* parent = nullptr);

    void SetBusy(bool busy);
    bool IsAnimating() const { return m_frameTimer.isActive(); }
    int Frame() const { return m_frame; }

private:
    void ShowNextFrame();
    void Finish();

    std::vector<QPixmap> m_frames;
    QTimer m_frameTimer;
    QTimer m_hideTimer;
    int m_frame = 0;
    int m_depth = 0;
};

} // namespace tavrik
