#pragma once
// Whether a profile file can be imported, judged as the import judges it, and when not the one
// line that says why: the system's refusal, a file that is no regular file or too large, a file
// shorter than a profile, a malformed header. Said once, in English, for validate, restore and
// dump.

#include <string>

namespace tavrik::cli {

// Empty when the file is acceptable.
std::string ProfileFileProblem(const std::string& path);

} // namespace tavrik::cli
