#include "app/single_instance.h"

#include "app/instance_client.h"
#include "app/instance_endpoint.h"
#include "app/instance_log.h"
#include "app/instance_server.h"

#include <cstdio>

#include <unistd.h>

namespace tavrik {

InstanceRole RunInstanceCheck(const StartSwitches& switches, InstanceServer& server,
                              const std::filesystem::path& socketPath) {
    if (!PrepareInstanceFolder(socketPath, ::getuid())) {
        std::fprintf(stderr,
                     "tavrik: %s is not a private folder; running without the "
                     "single-instance check\n",
                     socketPath.parent_path().string().c_str());
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
