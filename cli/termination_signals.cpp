#include "cli/termination_signals.h"

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>

namespace tavrik::cli {

namespace {

sigset_t TerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

void BlockTerminationSignals() {
    const sigset_t signals = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

int TerminationSignalDescriptor() {
    const sigset_t signals = TerminationSignals();
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

} // namespace tavrik::cli
