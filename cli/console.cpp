#include "cli/console.h"

#include "cli/system_messages.h"

namespace tavrik::cli {

void Console::Line(std::string_view line) {
    std::lock_guard lock(mutex_);
    out_ << line << '\n';
    out_.flush();
}

void Console::Write(std::string_view text) {
    std::lock_guard lock(mutex_);
    out_ << text;
    out_.flush();
}

void Console::Error(std::string_view message) {
    std::lock_guard lock(mutex_);
    err_ << kProgramName << ": " << message << '\n';
    err_.flush();
}

void Console::ErrorText(std::string_view text) {
    std::lock_guard lock(mutex_);
    err_ << text;
    err_.flush();
}

void Console::SystemMessage(std::u16string_view text) {
    Error(ExplainSystemMessage(text));
}

} // namespace tavrik::cli
