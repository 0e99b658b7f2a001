#pragma once
// Where tavrikctl's output goes: results on standard output, errors and the keyboard's messages
// on standard error, each prefixed with the program's name. Lines from several threads (the
// keyboard's events, the presence worker's messages) never interleave.

#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace tavrik::cli {

inline constexpr std::string_view kProgramName = "tavrikctl";

class Console {
public:
    Console(std::ostream& out, std::ostream& err)
        : out_(out)
        , err_(err) {}

    // One line of results; the newline is added.
    void Line(std::string_view line);
    // Text of results written as it is (a JSON document, a help page).
    void Write(std::string_view text);
    // "tavrikctl: MESSAGE" on standard error.
    void Error(std::string_view message);
    // Text on standard error as it is (the usage after a usage error).
    void ErrorText(std::string_view text);
    // A message the program shows to the user, said in English (system_messages.h).
    void SystemMessage(std::u16string_view text);

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace tavrik::cli
