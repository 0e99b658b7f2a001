// tavrikctl export --text, import and diff: the keyboard's configuration as text
// (profile_text.h), a text or a profile file downloaded, and two profiles compared.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/lighting_report.h"
#include "cli/profile_source.h"
#include "names/profile_lighting.h"
#include "names/profile_text.h"
#include "names/profile_text_diff.h"
#include "session/profile_text_transfer.h"

namespace tavrik::cli {

namespace {

std::string TextOf(const LoadedProfile& profile) {
    return FormatProfileText(*profile.contents, profile.lighting ? &*profile.lighting : nullptr);
}

// The live profile mirrors the keyboard and the lighting was read.
ExitStatus RequireWholeKeyboard(KeyboardSession& session, const Output& output) {
    if (const ExitStatus mirrored = RequireReadableProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    return RequireLighting(session, output);
}

// Before anything is written: the lighting must be read, and its effect one the keyboard offers.
ExitStatus CheckLightingFits(KeyboardSession& session, const Output& output,
                             const ProfileLighting& lighting) {
    if (const ExitStatus read = RequireLighting(session, output); read != ExitStatus::Done)
        return read;
    return session.WithLighting([&](LightingModel& model) {
        if (model.Effects().Offers(lighting.effect))
            return ExitStatus::Done;
        return output.Fail(ExitStatus::DeviceError,
                           "the keyboard does not offer effect " + std::to_string(lighting.effect) +
                               " (it offers " + EffectsText(model.Effects(), MainSkinLookup()) +
                               "); nothing was written");
    });
}

ExitStatus WriteLighting(KeyboardSession& session, const Output& output,
                         const ProfileLighting& lighting) {
    session.Watch().Reset();
    const DeviceResult result =
        session.WithLighting([&](LightingModel& model) { return SendLighting(model, lighting); });
    return ReportResult(session, output, "writing the lighting", result);
}

// A side of a diff: a file, or the keyboard when there is no path.
ProfileSource ReadSide(KeyboardSession* session, const std::optional<std::string>& path) {
    if (path)
        return ReadProfileSource(*path);
    return ProfileAndLighting(session->Stack());
}

} // namespace

ExitStatus RunExportText(KeyboardSession& session, const Output& output,
                         const ProfileTextRequest& request) {
    if (const ExitStatus whole = RequireWholeKeyboard(session, output); whole != ExitStatus::Done)
        return whole;
    const LoadedProfile keyboard = ProfileAndLighting(session.Stack());
    if (std::string error;
        !WriteProfileTextFile(request.path, *keyboard.contents,
                              keyboard.lighting ? &*keyboard.lighting : nullptr, &error))
        return output.Fail(ExitStatus::BadFile,
                           error.empty() ? "cannot write " + request.path : error);
    output.Result(JsonValue::MakeObject().Set("export", request.path),
                  "the keyboard's configuration is in " + request.path + " as text\n");
    return ExitStatus::Done;
}

ExitStatus RunImport(KeyboardSession& session, const Output& output,
                     const ProfileTextRequest& request) {
    // Read and checked whole before the keyboard is touched.
    ProfileSource source = ReadProfileSource(request.path);
    if (const auto* problem = std::get_if<std::string>(&source))
        return output.Fail(ExitStatus::BadFile, *problem);
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    LoadedProfile& loaded = std::get<LoadedProfile>(source);
    if (loaded.lighting)
        if (const ExitStatus fits = CheckLightingFits(session, output, *loaded.lighting);
            fits != ExitStatus::Done)
            return fits;
    session.Watch().Reset();
    const ImportOutcome outcome =
        ImportProfileContents(session.Store(), std::move(*loaded.contents));
    return ReportImport(session, output, outcome, request.path, "imported", [&] {
        return loaded.lighting ? WriteLighting(session, output, *loaded.lighting)
                               : ExitStatus::Done;
    });
}

ExitStatus RunDiff(KeyboardSession* session, const Output& output,
                   const ProfileTextRequest& request) {
    if (!request.before)
        if (const ExitStatus whole = RequireWholeKeyboard(*session, output);
            whole != ExitStatus::Done)
            return whole;
    std::vector<std::string> texts;
    for (const std::optional<std::string>& path : {request.before, std::optional(request.path)}) {
        const ProfileSource side = ReadSide(session, path);
        if (const auto* problem = std::get_if<std::string>(&side))
            return output.Fail(ExitStatus::BadFile, *problem);
        texts.push_back(TextOf(std::get<LoadedProfile>(side)));
    }
    const std::vector<std::string> differences = ProfileTextDifferences(texts[0], texts[1]);
    JsonValue list = JsonValue::MakeArray();
    std::string shown;
    for (const std::string& difference : differences) {
        list.Append(difference);
        shown += difference + "\n";
    }
    output.Result(JsonValue::MakeObject()
                      .Set("equal", differences.empty())
                      .Set("differences", std::move(list)),
                  shown);
    return differences.empty() ? ExitStatus::Done : ExitStatus::Different;
}

} // namespace tavrik::cli
