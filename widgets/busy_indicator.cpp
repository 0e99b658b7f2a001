#include "widgets/busy_indicator.h"

namespace tavrik {

BusyIndicator::BusyIndicator(std::vector<QPixmap> frames, QWidget* parent)
    : QLabel(parent)
    , m_frames(std::move(frames)) {
    m_frameTimer.setInterval(kFrameIntervalMs);
    m_hideTimer.setInterval(kHideDelayMs);
    m_hideTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &BusyIndicator::ShowNextFrame);
    connect(&m_hideTimer, &QTimer::timeout, this, &BusyIndicator::Finish);
    if (!m_frames.empty())
        setPixmap(m_frames.front());
    hide();
}

void BusyIndicator::SetBusy(bool busy) {
    if (busy) {
        ++m_depth;
        m_hideTimer.stop();
        if (!m_frameTimer.isActive())
            m_frameTimer.start();
        show();
        return;
    }
    if (m_depth > 0 && --m_depth == 0)
        m_hideTimer.start();
}

void BusyIndicator::ShowNextFrame() {
    if (m_frames.empty())
        return;
    m_frame = (m_frame + 1) % static_cast<int>(m_frames.size());
    setPixmap(m_frames[static_cast<size_t>(m_frame)]);
}

void BusyIndicator::Finish() {
    m_frameTimer.stop();
    hide();
}

} // namespace tavrik
