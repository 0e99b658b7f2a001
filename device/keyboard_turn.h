#pragma once
// Programs take turns on a keyboard. Whatever a program does with the keyboard as a whole (a
// begin ... end bracket; a command's read, change, download and mirror into the store file)
// happens in one turn, and no other program, of this user or another, talks to the keyboard
// meanwhile. A turn is an exclusive flock on the keyboard's turn place (see turn_place.h).
//
// Within one process the turn is shared: every thread's hold counts, the lock is taken when the
// first hold begins and let go when the last one ends. The threads of one process keep out of
// each other's way with the frame exchange's own lock.
//
// Each program must also learn when another one wrote: it may then no longer trust what it
// believes the keyboard holds. A program that wrote in its turn counts one more writing turn in
// the generation file before it lets go; a program taking the turn finds the count changed and
// tells its listeners. Without a usable generation file every turn is taken as if others wrote.

#include "device/turn_place.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

class TurnLockFile;
class GenerationFile;

inline constexpr std::chrono::seconds kDefaultTurnWait{30};
// A wait longer than this is said to the user, with who holds the keyboard.
inline constexpr std::chrono::seconds kTurnWaitNotice{1};

enum class TurnOutcome {
    Taken,
    TimedOut,  // another program kept its turn for longer than the wait allowed
    Cancelled, // the program is ending
    Failed,    // the lock file cannot be opened
};

class KeyboardTurn {
public:
    // Where the keyboard attached now takes turns; nothing when it is this process's own (the
    // in-process demo keyboard) or no keyboard is attached.
    using PlaceSource = std::function<std::optional<TurnPlace>()>;
    // Told once per wait, after kTurnWaitNotice, who holds the keyboard ("" when unknown).
    using WaitNotice = std::function<void(const std::string& holder)>;

    explicit KeyboardTurn(PlaceSource place);
    ~KeyboardTurn();

    KeyboardTurn(const KeyboardTurn&) = delete;
    KeyboardTurn& operator=(const KeyboardTurn&) = delete;

    class Hold {
    public:
        Hold() = default;
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&& other) noexcept;
        ~Hold();

        explicit operator bool() const { return outcome_ == TurnOutcome::Taken; }
        TurnOutcome Outcome() const { return outcome_; }
        // What held the keyboard (TimedOut), or why the lock could not be taken (Failed).
        const std::string& Problem() const { return problem_; }
        // Ends the hold early.
        void Release();

    private:
        friend class KeyboardTurn;
        Hold(KeyboardTurn* turn, TurnOutcome outcome, std::string problem);

        KeyboardTurn* turn_ = nullptr;
        TurnOutcome outcome_ = TurnOutcome::Failed;
        std::string problem_;
    };

    // Waits for the turn up to the wait limit (forever when the limit is nothing). A hold
    // taken while this process holds the turn already is granted at once.
    Hold Take();
    Hold Take(std::optional<std::chrono::milliseconds> limit);

    void SetWaitLimit(std::optional<std::chrono::milliseconds> limit);
    void SetWaitNotice(WaitNotice notice);
    // Called, on the thread taking the turn, when the turn shows that another program wrote to
    // the keyboard since this one last held it. Listeners only forget; they never wait.
    void AddForeignWriteListener(std::function<void()> listener);

    // A frame that changes the keyboard's memory goes out in this turn.
    void NoteWrite();
    // How many turns so far found that another program had written: a copy of the keyboard
    // taken when this was n is out of date once it is more.
    uint64_t ForeignWrites() const { return foreignWrites_.load(); }
    bool HeldByThisProcess() const;
    // Whether another program wrote since this one last held the turn, judged without taking
    // it; false when that cannot be known.
    bool OthersWroteSinceLastTurn() const;
    // From now on waits end at once, as Cancelled.
    void Cancel();

private:
    TurnOutcome Acquire(std::optional<std::chrono::milliseconds> limit, std::string& problem);
    void OpenTurnLocked(const TurnPlace& place, std::unique_ptr<TurnLockFile> lock);
    void Give();

    PlaceSource place_;
    mutable std::mutex mutex_;
    std::optional<std::chrono::milliseconds> waitLimit_{kDefaultTurnWait};
    WaitNotice notice_;
    std::vector<std::function<void()>> listeners_;
    int holds_ = 0;
    std::unique_ptr<TurnLockFile> lock_;
    std::unique_ptr<GenerationFile> generation_;
    std::optional<TurnPlace> lastPlace_;
    std::optional<uint64_t> lastGeneration_;
    bool wrote_ = false;
    std::atomic<uint64_t> foreignWrites_{0};
    std::atomic<bool> cancelled_{false};
};

} // namespace tavrik
