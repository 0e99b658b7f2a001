#include "session/profile_text_transfer.h"

#include "files/file_read.h"
#include "keys/text.h"
#include "names/profile_text.h"
#include "profile/profile_messages.h"
#include "session/keyboard_stack.h"

#include <string>

namespace tavrik {

namespace {

void Show(KeyboardStack& stack, std::u16string_view text) {
    stack.Store().Window().ShowMessage(text);
}

// Nothing is written for a lighting whose effect the keyboard does not offer.
bool KeyboardOffersEffect(KeyboardStack& stack, const ProfileLighting& lighting) {
    if (stack.WithLighting(
            [&](LightingModel& model) { return model.Effects().Offers(lighting.effect); }))
        return true;
    Show(stack, std::u16string(kTextEffectNotOffered) + Utf16From(std::to_string(lighting.effect)));
    return false;
}

ImportOutcome ImportText(KeyboardStack& stack, ProfileWithLighting&& text) {
    if (text.lighting && !KeyboardOffersEffect(stack, *text.lighting))
        return ImportOutcome::Refused;
    const ImportOutcome outcome = ImportProfileContents(stack.Store(), std::move(*text.contents));
    if (outcome == ImportOutcome::Downloaded && text.lighting)
        stack.WithLighting(
            [&](LightingModel& model) { return SendLighting(model, *text.lighting); });
    return outcome;
}

} // namespace

ProfileWithLighting ProfileAndLighting(KeyboardStack& stack) {
    ProfileWithLighting both;
    {
        LiveProfile& profile = stack.Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        both.contents = std::make_unique<ProfileContents>(
            ProfileContents{profile.Record(), profile.Macros(), profile.Texts()});
    }
    both.lighting =
        stack.WithLighting([](LightingModel& lighting) { return LightingOf(lighting.State()); });
    return both;
}

namespace {

ImportOutcome ImportFile(KeyboardStack& stack, const std::filesystem::path& path) {
    const FileRead read = ReadWholeFile(path, kProfileTextKind);
    // A profile file, and a file that cannot be read at all, are the profile file import's to
    // judge and to explain.
    if (read.status != FileReadStatus::Read || BeginsWithProfileMagic(read.bytes))
        return ImportProfile(stack.Store(), path);
    auto parsed = ParseProfileTextFile(path.string(), read.bytes);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        Show(stack, std::u16string(profile_text::kImportFailed) + u"\n" + Utf16From(*problem));
        return ImportOutcome::Refused;
    }
    return ImportText(stack, std::move(std::get<ProfileWithLighting>(parsed)));
}

} // namespace

ImportOutcome ImportProfileOrText(KeyboardStack& stack, const std::filesystem::path& path) {
    // The download and the store file in one turn; a keyboard another program keeps busy fails
    // the download's frames, which the caller reports.
    const KeyboardTurn::Hold turn = stack.Turn().Take();
    const ImportOutcome outcome = ImportFile(stack, path);
    if (outcome == ImportOutcome::Downloaded)
        stack.MarkInStep();
    return outcome;
}

bool ExportProfileAsText(KeyboardStack& stack, const std::filesystem::path& path) {
    const ProfileWithLighting both = ProfileAndLighting(stack);
    std::string error;
    return WriteProfileTextFile(path, *both.contents, both.lighting ? &*both.lighting : nullptr,
                                &error);
}

} // namespace tavrik
