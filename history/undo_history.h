#pragma once
// An undo history as the user sees it: named steps, a position among them, undo and redo. It holds
// what each step changed and never the thing changed, so the same history serves the live profile
// and the macro editor's working copies; the owner makes the changes and reverts them (see
// profile_history.h, macro_edit_history.h). Nothing here knows a display.
//
// Consecutive steps of one gesture (typing a name, recording) become one: a step carries a merge
// key, and the owner may fold a step into the one on top when their keys are equal, the top step
// has not been undone and nothing sealed it since (TopToMerge).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace tavrik {

// What kind of edit a step is, of what (a macro's id, say), and in which gesture (a recording's
// number): steps merge only when all three are equal.
struct MergeKey {
    int kind = 0;
    uint32_t target = 0;
    uint64_t gesture = 0;
    bool operator==(const MergeKey&) const = default;
};

// The most steps kept; the oldest go first.
inline constexpr size_t kUndoLimit = 100;

template <typename Change>
class UndoHistory {
public:
    struct Step {
        std::u16string name;
        Change change;
        std::optional<MergeKey> merge{};
    };

    explicit UndoHistory(size_t limit = kUndoLimit)
        : limit_(limit == 0 ? 1 : limit) {}

    // A step that was done: the steps that could be redone are dropped.
    void Push(Step step) {
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(index_), steps_.end());
        steps_.push_back(std::move(step));
        if (steps_.size() > limit_)
            steps_.pop_front();
        index_ = steps_.size();
        sealed_ = false;
    }

    // The step a new step with this key may be folded into: the last step done, when it has the
    // same key, nothing was undone since, and no Seal came after it. The owner folds the change
    // in and renames the step; the redo steps are already gone then, as nothing was undone.
    Step* TopToMerge(const MergeKey& key) {
        if (sealed_ || index_ == 0 || index_ != steps_.size() || steps_.back().merge != key)
            return nullptr;
        return &steps_.back();
    }

    // The next step, however alike, starts afresh (an Apply, another gesture in between).
    void Seal() { sealed_ = true; }

    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ < steps_.size(); }
    // The names of the steps undo and redo would take; empty when there are none.
    std::u16string UndoName() const { return CanUndo() ? steps_[index_ - 1].name : u""; }
    std::u16string RedoName() const { return CanRedo() ? steps_[index_].name : u""; }

    // Moves back over one step and gives its change for the owner to revert; nothing at the
    // beginning.
    const Step* Undo() {
        if (!CanUndo())
            return nullptr;
        sealed_ = true;
        return &steps_[--index_];
    }
    // Moves forward over one step and gives its change for the owner to make again.
    const Step* Redo() {
        if (!CanRedo())
            return nullptr;
        sealed_ = true;
        return &steps_[index_++];
    }

    // The history ends here: what it held no longer applies.
    void Clear() {
        steps_.clear();
        index_ = 0;
        sealed_ = false;
    }

    size_t Count() const { return steps_.size(); }
    // Step `index` (0 the oldest kept) of Count().
    const Step& At(size_t index) const { return steps_.at(index); }
    // How many steps are done (the rest can be redone).
    size_t Index() const { return index_; }

private:
    std::deque<Step> steps_;
    size_t index_ = 0;
    size_t limit_;
    bool sealed_ = false;
};

} // namespace tavrik
