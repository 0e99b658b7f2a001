// When a failed lighting change is told: once for each change, when it is over, whatever number
// of writes the change made.

#include "lighting/change_report.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

// What happens to a slider, in order.
enum class Step {
    Press,
    Release,          // no write on its way
    ReleaseWriting,   // a write still on its way
    Taken,            // a write finished, taken by the keyboard; nothing newer sent
    TakenNewerSent,   // the same, and a newer position went out behind it
    Refused,          // a write finished, not taken; nothing newer sent
    RefusedNewerSent, // the same, and a newer position went out behind it
};

bool Take(LightingChangeReport& report, Step step) {
    switch (step) {
    case Step::Press:
        report.Press();
        return false;
    case Step::Release:
        return report.Release(false);
    case Step::ReleaseWriting:
        return report.Release(true);
    case Step::Taken:
        return report.Written(false, false);
    case Step::TakenNewerSent:
        return report.Written(false, true);
    case Step::Refused:
        return report.Written(true, false);
    case Step::RefusedNewerSent:
        return report.Written(true, true);
    }
    return false;
}

TEST(LightingChangeReportTest, AFailedChangeIsToldOnceWhenItIsOver) {
    using enum Step;
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<size_t> told; // the steps after which the user is told
    } cases[] = {
        {"a key step refused", {Refused}, {0}},
        {"a key step taken", {Taken}, {}},
        {"key steps: each is a change", {Refused, Taken, Refused}, {0, 2}},
        {"a drag whose every write is refused, all finished while held",
         {Press, RefusedNewerSent, RefusedNewerSent, Refused, Release},
         {4}},
        {"a drag released before its last write finished",
         {Press, RefusedNewerSent, ReleaseWriting, Refused},
         {3}},
        {"a drag whose last write is taken after a refused one",
         {Press, RefusedNewerSent, Taken, Release},
         {}},
        {"a drag whose last write is refused after a taken one",
         {Press, TakenNewerSent, ReleaseWriting, Refused},
         {3}},
        {"a drag taken throughout", {Press, TakenNewerSent, Taken, Release}, {}},
        {"a press that moves nothing after a failure already told", {Refused, Press, Release}, {0}},
        {"two drags, each refused", {Press, Refused, Release, Press, Refused, Release}, {2, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LightingChangeReport report;
        std::vector<size_t> told;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            if (Take(report, c.steps[i]))
                told.push_back(i);
        }
        EXPECT_EQ(told, c.told);
    }
}

} // namespace
} // namespace tavrik
