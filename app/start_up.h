#pragma once
// The start routine of the desktop program: names the settings store, derives the program's
// folders, creates the process-wide state, runs the instance check, starts the sibling
// program, runs the main window until its exit sequence and cleans up. Returns the exit code.

namespace tavrik {

int RunDesktopProgram(int argc, char* argv[]);

} // namespace tavrik
