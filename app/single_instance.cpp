#include "app/single_instance.h"

#include "app/instance_client.h"
#include "app/instance_endpoint.h"
#include "app/instance_log.h"
#include "app/instance_server.h"

#include <cstdio>
#include <string>

#include <unistd.h>

namespace tavrik {

InstanceRole RunInstanceCheck(const StartSwitches& switches, InstanceServer& server,
                              const std::filesystem::path& socketPath) {
    // A refused folder is not swapped for a fresh one of a random name: a second start could not
    // find that one either. Only a folder nobody else can create first, the runtime folder, keeps
    // the check.
    if (std::string problem; !PrepareInstanceFolder(socketPath, ::getuid(), &problem)) {
        std::fprintf(stderr,
                     "tavrik: %s, so it may not hold the single-instance socket; running "
                     "without the single-instance check (XDG_RUNTIME_DIR names a private "
                     "folder that keeps it)\n",
                     problem.c_str());
        return InstanceRole::Primary;
    }
    if (switches.kill) {
        if (auto running = ConnectToRunningInstance(socketPath)) {
            NotifyRunningInstance(*running, InstanceCommand::Kill);
            return InstanceRole::HandedOver;
        }
        // Nothing to stop: start as usual.
    }
    switch (server.Listen(socketPath)) {
    case InstanceServer::ListenResult::Listening:
        return InstanceRole::Primary;
    case InstanceServer::ListenResult::InUse:
        if (auto running = ConnectToRunningInstance(socketPath)) {
            NotifyRunningInstance(*running, InstanceCommand::Open);
        }
        // Handed over even when the running one did not answer: a second window never opens.
        return InstanceRole::HandedOver;
    case InstanceServer::ListenResult::Failed:
        break;
    }
    std::fprintf(stderr,
                 "tavrik: cannot listen on %s; running without the single-instance "
                 "check\n",
                 socketPath.string().c_str());
    return InstanceRole::Primary;
}

} // namespace tavrik
