#pragma once
// A change of a list as one splice: at `position`, the elements `before` were replaced by the
// elements `after`. Adding, deleting or editing one macro is a splice of one element, so a step of
// an undo history keeps only the macros it touched, never the whole list.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tavrik {

template <typename T>
struct ListChange {
    size_t position = 0;
    std::vector<T> before{};
    std::vector<T> after{};

    // The smallest splice that turns `from` into `to`: the common beginning and end are left out.
    static ListChange Between(const std::vector<T>& from, const std::vector<T>& to) {
        size_t head = 0;
        while (head < from.size() && head < to.size() && from[head] == to[head])
            ++head;
        size_t tail = 0;
        while (tail < from.size() - head && tail < to.size() - head &&
               from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
            ++tail;
        return {head, Slice(from, head, from.size() - tail), Slice(to, head, to.size() - tail)};
    }

    bool Empty() const { return before == after; }

    // `list` as it was before the change becomes what it is after, and back.
    void Redo(std::vector<T>& list) const { Splice(list, position, before.size(), after); }
    void Undo(std::vector<T>& list) const { Splice(list, position, after.size(), before); }

    // Folds in a change made right after this one, when it lies within what this one put in
    // place (the same macro edited again); false, changing nothing, otherwise.
    bool Absorb(const ListChange& next) {
        if (next.position < position ||
            next.position + next.before.size() > position + after.size())
            return false;
        Splice(after, next.position - position, next.before.size(), next.after);
        return true;
    }

private:
    static std::vector<T> Slice(const std::vector<T>& list, size_t begin, size_t end) {
        return {list.begin() + static_cast<std::ptrdiff_t>(begin),
                list.begin() + static_cast<std::ptrdiff_t>(end)};
    }
    // Replaces `removed` elements at `at` by `inserted`, within the list's bounds.
    static void Splice(std::vector<T>& list, size_t at, size_t removed,
                       const std::vector<T>& inserted) {
        at = std::min(at, list.size());
        const auto first = list.begin() + static_cast<std::ptrdiff_t>(at);
        list.erase(first, first + static_cast<std::ptrdiff_t>(std::min(removed, list.size() - at)));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(),
                    inserted.end());
    }
};

} // namespace tavrik
