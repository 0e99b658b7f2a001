#pragma once
// Sends values one at a time. While one is on its way, newer values replace each other, and the
// newest goes once the one in flight is done: a slider dragged across its range sends its first
// position, its last, and only as many between as the keyboard takes in that time.

#include <functional>
#include <optional>

namespace tavrik {

class LatestValueWriter {
public:
    // Starts sending a value; must call `done` once it has gone (on the same thread that calls
    // Write).
    using Send = std::function<void(int value, std::function<void()> done)>;

    explicit LatestValueWriter(Send send);

    void Write(int value);
    bool InFlight() const { return m_inFlight; }

private:
    void Start(int value);
    void Finished();

    Send m_send;
    bool m_inFlight = false;
    std::optional<int> m_waiting;
};

} // namespace tavrik
