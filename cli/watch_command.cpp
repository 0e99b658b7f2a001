// tavrikctl watch: one line per keyboard event until interrupted or until --count events.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/lighting_report.h"
#include "cli/termination_signals.h"

#include <cerrno>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tavrik::cli {

namespace {

// Events come from the transport's and the presence worker's threads; they are printed on the
// main thread, which also re-reads the lighting after the keyboard changed it.
class EventQueue {
public:
    EventQueue()
        : wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~EventQueue() {
        if (wake_ >= 0)
            close(wake_);
    }
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    int Descriptor() const { return wake_; }

    void Push(const KeyboardEvent& event) {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
    }

    std::deque<KeyboardEvent> TakeAll() {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
        std::lock_guard lock(mutex_);
        return std::exchange(events_, {});
    }

private:
    int wake_;
    std::mutex mutex_;
    std::deque<KeyboardEvent> events_;
};

// Closes a descriptor when it goes.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
};

void PrintEvent(KeyboardSession& session, const Output& output, const KeyboardEvent& event) {
    JsonValue json = JsonValue::MakeObject();
    std::string text;
    switch (event.kind) {
    case KeyboardEventKind::Attached:
        json.Set("event", "attached");
        text = "attached";
        break;
    case KeyboardEventKind::Detached:
        json.Set("event", "detached");
        text = "detached";
        break;
    case KeyboardEventKind::BankChanged:
        json.Set("event", "bank").Set("bank", event.bankB ? "B" : "A");
        text = event.bankB ? "bank B" : "bank A";
        break;
    case KeyboardEventKind::LightingChanged: {
        // What the window's timer does: read the lighting again, without the per-key table.
        const SkinValueLookup names = MainSkinLookup();
        session.WithLighting([&](LightingModel& lighting) {
            lighting.ReadLightingState(false);
            json.Set("event", "lighting")
                .Set("lighting", LightingJson(lighting.State(), lighting.Effects(), names));
            const std::string state = LightingText(lighting.State(), lighting.Effects(), names);
            text = "lighting changed: " + state.substr(0, state.find('\n'));
        });
        break;
    }
    case KeyboardEventKind::MacroStarted:
        json.Set("event", "macroStarted");
        text = "macro started";
        break;
    case KeyboardEventKind::MacroStopped:
        json.Set("event", "macroStopped");
        text = "macro stopped";
        break;
    }
    output.console.Line(output.json ? json.Text(false) : text);
}

} // namespace

ExitStatus RunWatch(KeyboardSession& session, const Output& output, const WatchRequest& request) {
    const Descriptor signals{TerminationSignalDescriptor()};
    EventQueue queue;
    if (signals.fd < 0 || queue.Descriptor() < 0)
        return output.Fail(ExitStatus::DeviceError, "cannot wait for the keyboard's events");
    if (session.KeyboardNotAccessible())
        RequireKeyboard(session, output); // says so and how to allow it, then waits all the same
    session.Window().SetEventSink([&queue](const KeyboardEvent& event) { queue.Push(event); });
    int printed = 0;
    bool stop = false;
    while (!stop) {
        pollfd waits[2] = {{signals.fd, POLLIN, 0}, {queue.Descriptor(), POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue; // a signal that is not ours
            break;
        }
        if (waits[0].revents != 0)
            break;
        for (const KeyboardEvent& event : queue.TakeAll()) {
            PrintEvent(session, output, event);
            if (request.count && ++printed >= *request.count) {
                stop = true;
                break;
            }
        }
    }
    session.Window().SetEventSink({});
    return ExitStatus::Done;
}

} // namespace tavrik::cli
