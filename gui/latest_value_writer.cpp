#include "gui/latest_value_writer.h"

#include <utility>

namespace tavrik {

LatestValueWriter::LatestValueWriter(Send send)
    : m_send(std::move(send)) {}

void LatestValueWriter::Write(int value) {
    if (m_inFlight) {
        m_waiting = value;
        return;
    }
    Start(value);
}

void LatestValueWriter::Start(int value) {
    m_inFlight = true;
    m_send(value, [this] { Finished(); });
}

void LatestValueWriter::Finished() {
    m_inFlight = false;
    if (const std::optional<int> next = std::exchange(m_waiting, std::nullopt))
        Start(*next);
}

} // namespace tavrik
