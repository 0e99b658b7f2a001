#include "profile/live_profile.h"

namespace tavrik {

void LiveProfile::ReleaseAll() {
    const Lock lock = LockProfile();
    ++replacements_;
    ReleaseTexts();
    ReleaseMacros();
    ReleaseProfileRecord();
}

void LiveProfile::Install(ProfileContents&& contents) noexcept {
    ++replacements_;
    record_ = contents.record;
    macros_ = std::move(contents.macros);
    texts_ = std::move(contents.texts);
}

} // namespace tavrik
