// Every allocation made while loading, saving or applying a profile fails in turn: the operation
// reports failure and the live profile stays usable - as it was, or a default record where a
// replacement had already begun.

#include "profile/profile_file.h"
#include "profile/profile_store.h"
#include "profile_fakes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations still allowed before the next one fails; negative = no limit.
std::atomic<long> allocationBudget{-1};

} // namespace

void* operator new(std::size_t size) {
    if (allocationBudget.load() >= 0 && allocationBudget.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace tavrik {
namespace {

// Runs the operation with room for `allocations` allocations; true when it got by with them.
template <typename Operation>
bool WithAllocations(long allocations, Operation&& operation, bool& result) {
    allocationBudget = allocations;
    result = operation();
    const bool sufficed = allocationBudget.load() >= 0;
    allocationBudget = -1;
    return sufficed;
}

constexpr long kEnough = 100'000;

LiveProfile& ProfileWithEverything(LiveProfile& profile) {
    profile.Record().Entry(3) = {.type = KeyFunctionType::TextBlock};
    profile.Texts().Set(3, u"a text long enough to live on the heap");
    profile.Record().Entry(700) = {.type = KeyFunctionType::LaunchProgram};
    profile.Texts().Set(700, u"/usr/bin/a-program-with-a-long-name");
    MacroRecord macro;
    macro.name = u"a macro with a long name as well";
    macro.id = 1;
    macro.actions.resize(3);
    profile.Macros().assign(2, macro);
    return profile;
}

TEST(MemoryExhaustion, LoadingKeepsTheLiveProfileAsItWas) {
    test::TempFolder folder;
    const auto path = folder / "full.tvk";
    LiveProfile source;
    ASSERT_TRUE(SaveProfileFile(ProfileWithEverything(source), path));

    LiveProfile live;
    live.Record().Entry(9) = {.type = KeyFunctionType::Disabled};
    live.Texts().Set(9, u"before");
    const ProfileRecord before = live.Record();
    for (long allowed = 0;; ++allowed) {
        bool loaded = false;
        const bool sufficed = WithAllocations(
            allowed, [&] { return LoadProfileFile(live, path); }, loaded);
        if (sufficed) {
            ASSERT_TRUE(loaded);
            EXPECT_EQ(live.Texts(), source.Texts());
            EXPECT_EQ(live.Macros(), source.Macros());
            break;
        }
        ASSERT_FALSE(loaded) << allowed;
        ASSERT_EQ(live.Record(), before) << allowed;
        ASSERT_EQ(live.Texts().Text(9), u"before") << allowed;
        ASSERT_LT(allowed, kEnough);
    }
}

TEST(MemoryExhaustion, SavingNeverLeavesAPartialFile) {
    test::TempFolder folder;
    const auto path = folder / "kept.tvk";
    ASSERT_TRUE(CreateDefaultProfileFile(path));
    const std::vector<uint8_t> good = test::ReadBytes(path);

    LiveProfile live;
    ProfileWithEverything(live);
    for (long allowed = 0;; ++allowed) {
        bool saved = false;
        const bool sufficed = WithAllocations(
            allowed, [&] { return SaveProfileFile(live, path); }, saved);
        if (sufficed) {
            ASSERT_TRUE(saved);
            break;
        }
        ASSERT_FALSE(saved) << allowed;
        ASSERT_EQ(test::ReadBytes(path), good) << allowed;
        ASSERT_LT(allowed, kEnough);
    }
    LiveProfile reloaded;
    ASSERT_TRUE(LoadProfileFile(reloaded, path));
    EXPECT_EQ(reloaded.Texts(), live.Texts());
}

TEST(MemoryExhaustion, ReloadingInstallsARecordWhateverFails) {
    test::TempFolder documents;
    LiveProfile live;
    test::FakeKeyboard keyboard;
    keyboard.Hold(ProfileWithEverything(live).Record().layers, live.Macros());
    test::RecordingWindow window;
    ProfileStore store(live, StoragePathsIn(documents.Path()), keyboard, window);
    for (long allowed = 0;; ++allowed) {
        bool reloaded = false;
        const bool sufficed = WithAllocations(
            allowed, [&] { return store.ReloadProfileFromKeyboard(false); }, reloaded);
        ASSERT_TRUE(reloaded);
        if (sufficed) {
            EXPECT_EQ(live.Macros().size(), 2u);
            break;
        }
        // Either the keyboard's profile or, when it could not be read or loaded, a default one.
        if (live.Macros().empty()) {
            ASSERT_EQ(live.Record(), DefaultProfileRecord()) << allowed;
        }
        ASSERT_EQ(live.Texts().Total(), 0u) << allowed;
        ASSERT_LT(allowed, kEnough);
    }
}

TEST(MemoryExhaustion, ApplyingReportsFailureInsteadOfThrowing) {
    test::TempFolder documents;
    LiveProfile live;
    ProfileWithEverything(live);
    test::FakeKeyboard keyboard;
    test::RecordingWindow window;
    ProfileStore store(live, StoragePathsIn(documents.Path()), keyboard, window);
    for (long allowed = 0;; ++allowed) {
        bool applied = false;
        const bool sufficed = WithAllocations(
            allowed, [&] { return store.ApplyProfileToKeyboard(true); }, applied);
        if (sufficed) {
            EXPECT_TRUE(applied);
            break;
        }
        ASSERT_FALSE(applied) << allowed;
        ASSERT_LT(allowed, kEnough);
    }
}

} // namespace
} // namespace tavrik
