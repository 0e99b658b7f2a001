#pragma once
// SIGINT and SIGTERM as something to wait for: blocked in every thread (so call this before any
// thread starts) and read from a descriptor, so that `watch` ends cleanly, with every object torn
// down in order, rather than being killed in the middle of a callback.

namespace tavrik::cli {

// Blocks both signals in the calling thread and every thread it starts later.
void BlockTerminationSignals();

// A descriptor that becomes readable when one of the blocked signals arrives; -1 on failure.
// The caller closes it.
int TerminationSignalDescriptor();

} // namespace tavrik::cli
