// Arbitrary bytes as a profile written as text: the reader must stay inside the text and name a
// line of it when it refuses it; whatever it accepts must write as text that reads back to the
// same contents and writes again to the same text.

#include "names/profile_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<uint8_t> FileBytes(const tavrik::ProfileContents& contents) {
    tavrik::ProfileRecord record = contents.record;
    const auto bytes = tavrik::SerialiseProfileFile(record, contents.macros, contents.texts);
    Check(bytes.has_value());
    return *bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<ProfileLighting> lighting;
    auto parsed = ParseProfileText(text, &lighting);
    if (const auto* error = std::get_if<ProfileTextError>(&parsed)) {
        const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
        Check(error->line >= 1 && error->line <= lines && !error->message.empty());
        return 0;
    }
    const tavrik::ProfileContents& contents =
        *std::get<std::unique_ptr<tavrik::ProfileContents>>(parsed);
    const ProfileLighting* shownLighting = lighting ? &*lighting : nullptr;
    const std::string formatted = FormatProfileText(contents, shownLighting);
    std::optional<ProfileLighting> lightingAgain;
    auto again = ParseProfileText(formatted, &lightingAgain);
    Check(std::holds_alternative<std::unique_ptr<tavrik::ProfileContents>>(again));
    const tavrik::ProfileContents& reread =
        *std::get<std::unique_ptr<tavrik::ProfileContents>>(again);
    Check(FileBytes(reread) == FileBytes(contents));
    Check(lightingAgain == lighting);
    Check(FormatProfileText(reread, shownLighting) == formatted);
    return 0;
}
