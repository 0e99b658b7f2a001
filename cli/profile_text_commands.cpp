// tavrikctl export --text, import and diff: the keyboard's configuration as text
// (profile_text.h), a text or a profile file downloaded, and two profiles compared.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/profile_source.h"
#include "cli/profile_text.h"
#include "cli/profile_text_diff.h"
#include "files/file_replace.h"

namespace tavrik::cli {

namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// A side of a diff as text: a file, or the keyboard when there is no path.
ProfileSource ReadSide(KeyboardSession* session, const std::optional<std::string>& path) {
    if (path)
        return ReadProfileSource(*path);
    return std::make_unique<ProfileContents>(KeyboardProfile(*session));
}

} // namespace

ExitStatus RunExportText(KeyboardSession& session, const Output& output,
                         const ProfileTextRequest& request) {
    if (const ExitStatus mirrored = RequireMirroredProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    const std::string text = FormatProfileText(KeyboardProfile(session));
    if (std::string error; !ReplaceFile(request.path, Bytes(text), &error))
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
    session.Watch().Reset();
    ProfileContents& contents = *std::get<std::unique_ptr<ProfileContents>>(source);
    return ReportImport(session, output,
                        ImportProfileContents(session.Store(), std::move(contents)), request.path,
                        "imported");
}

ExitStatus RunDiff(KeyboardSession* session, const Output& output,
                   const ProfileTextRequest& request) {
    if (!request.before)
        if (const ExitStatus mirrored = RequireMirroredProfile(*session, output);
            mirrored != ExitStatus::Done)
            return mirrored;
    std::vector<std::string> texts;
    for (const std::optional<std::string>& path : {request.before, std::optional(request.path)}) {
        ProfileSource side = ReadSide(session, path);
        if (const auto* problem = std::get_if<std::string>(&side))
            return output.Fail(ExitStatus::BadFile, *problem);
        texts.push_back(FormatProfileText(*std::get<std::unique_ptr<ProfileContents>>(side)));
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
