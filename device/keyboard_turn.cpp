#include "device/keyboard_turn.h"

#include "device/turn_files.h"

#include <thread>
#include <utility>

namespace tavrik {

namespace {

// How often a waiting program tries the lock again. flock cannot wait with a time limit, and a
// short poll keeps a waiting program from missing its turn by more than a few milliseconds.
constexpr std::chrono::milliseconds kRetryInterval{5};

} // namespace

KeyboardTurn::Hold::Hold(KeyboardTurn* turn, TurnOutcome outcome, std::string problem)
    : turn_(turn)
    , outcome_(outcome)
    , problem_(std::move(problem)) {}

KeyboardTurn::Hold::Hold(Hold&& other) noexcept
    : turn_(std::exchange(other.turn_, nullptr))
    , outcome_(other.outcome_)
    , problem_(std::move(other.problem_)) {}

KeyboardTurn::Hold& KeyboardTurn::Hold::operator=(Hold&& other) noexcept {
    if (this != &other) {
        Release();
        turn_ = std::exchange(other.turn_, nullptr);
        outcome_ = other.outcome_;
        problem_ = std::move(other.problem_);
    }
    return *this;
}

KeyboardTurn::Hold::~Hold() {
    Release();
}

void KeyboardTurn::Hold::Release() {
    if (KeyboardTurn* turn = std::exchange(turn_, nullptr))
        turn->Give();
}

KeyboardTurn::KeyboardTurn(PlaceSource place)
    : place_(std::move(place)) {}

KeyboardTurn::~KeyboardTurn() = default;

KeyboardTurn::Hold KeyboardTurn::Take() {
    std::optional<std::chrono::milliseconds> limit;
    {
        std::lock_guard lock(mutex_);
        limit = waitLimit_;
    }
    return Take(limit);
}

KeyboardTurn::Hold KeyboardTurn::Take(std::optional<std::chrono::milliseconds> limit) {
    std::string problem;
    const TurnOutcome outcome = Acquire(limit, problem);
    return Hold(outcome == TurnOutcome::Taken ? this : nullptr, outcome, std::move(problem));
}

TurnOutcome KeyboardTurn::Acquire(std::optional<std::chrono::milliseconds> limit,
                                  std::string& problem) {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_)
            return TurnOutcome::Cancelled;
        if (holds_ > 0) {
            ++holds_;
            return TurnOutcome::Taken;
        }
    }
    const std::optional<TurnPlace> place = place_ ? place_() : std::nullopt;
    if (!place) { // nobody else can reach this keyboard
        std::lock_guard lock(mutex_);
        ++holds_;
        return TurnOutcome::Taken;
    }
    std::unique_ptr<TurnLockFile> lockFile = TurnLockFile::Open(*place, &problem);
    if (!lockFile)
        return TurnOutcome::Failed;
    const auto start = std::chrono::steady_clock::now();
    bool noticed = false;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (cancelled_)
                return TurnOutcome::Cancelled;
            if (holds_ > 0) { // another thread of this process took it meanwhile
                ++holds_;
                return TurnOutcome::Taken;
            }
            if (lockFile->TryLock()) {
                OpenTurnLocked(*place, std::move(lockFile));
                return TurnOutcome::Taken;
            }
        }
        const auto waited = std::chrono::steady_clock::now() - start;
        if (limit && waited >= *limit) {
            problem = lockFile->Holder();
            return TurnOutcome::TimedOut;
        }
        if (!noticed && waited >= kTurnWaitNotice) {
            noticed = true;
            WaitNotice notice;
            {
                std::lock_guard lock(mutex_);
                notice = notice_;
            }
            if (notice)
                notice(lockFile->Holder());
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

void KeyboardTurn::OpenTurnLocked(const TurnPlace& place, std::unique_ptr<TurnLockFile> lock) {
    lock_ = std::move(lock);
    generation_ =
        place.generationFile.empty() ? nullptr : GenerationFile::Open(place.generationFile);
    const std::optional<uint64_t> generation =
        generation_ ? generation_->Read() : std::optional<uint64_t>();
    // The first turn on a keyboard has nothing to compare with: what this program believes of
    // it was read in that very turn.
    const bool sameKeyboard = lastPlace_ == place;
    const bool othersWrote =
        sameKeyboard && (!generation || !lastGeneration_ || *generation != *lastGeneration_);
    lastPlace_ = place;
    lastGeneration_ = generation;
    wrote_ = false;
    holds_ = 1;
    if (othersWrote) {
        ++foreignWrites_;
        for (const auto& listener : listeners_)
            listener();
    }
}

void KeyboardTurn::Give() {
    std::lock_guard lock(mutex_);
    if (holds_ == 0 || --holds_ > 0)
        return;
    if (wrote_ && generation_) {
        const uint64_t next = generation_->Read().value_or(0) + 1;
        lastGeneration_ = generation_->Write(next) ? std::optional(next) : std::nullopt;
    }
    wrote_ = false;
    generation_.reset();
    lock_.reset(); // closing the lock file lets the next program have its turn
}

void KeyboardTurn::SetWaitLimit(std::optional<std::chrono::milliseconds> limit) {
    std::lock_guard lock(mutex_);
    waitLimit_ = limit;
}

void KeyboardTurn::SetWaitNotice(WaitNotice notice) {
    std::lock_guard lock(mutex_);
    notice_ = std::move(notice);
}

void KeyboardTurn::AddForeignWriteListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listeners_.push_back(std::move(listener));
}

void KeyboardTurn::NoteWrite() {
    std::lock_guard lock(mutex_);
    if (holds_ > 0)
        wrote_ = true;
}

bool KeyboardTurn::HeldByThisProcess() const {
    std::lock_guard lock(mutex_);
    return holds_ > 0;
}

bool KeyboardTurn::OthersWroteSinceLastTurn() const {
    std::lock_guard lock(mutex_);
    if (holds_ > 0 || !lastPlace_ || !lastGeneration_)
        return false;
    const std::optional<uint64_t> now = PeekGeneration(lastPlace_->generationFile);
    return now && *now != *lastGeneration_;
}

void KeyboardTurn::Cancel() {
    cancelled_ = true;
}

} // namespace tavrik
