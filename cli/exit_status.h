#pragma once
// What tavrikctl tells the shell: 0 done, 1 the keyboard or the transport failed, 2 the command
// line was wrong, 3 a file could not be used. diff says 1 when the profiles differ, as diff(1)
// does.

namespace tavrik::cli {

enum class ExitStatus : int {
    Done = 0,
    DeviceError = 1,
    UsageError = 2,
    BadFile = 3,
    Different = 1,
};

} // namespace tavrik::cli
