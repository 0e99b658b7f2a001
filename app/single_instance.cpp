#include "app/single_instance.h"

#include "app/instance_client.h"
#include "app/instance_endpoint.h"
#include "app/instance_server.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tavrik {
namespace {

std::string Joined(const std::vector<std::string>& sentences) {
    std::string text;
    for (const std::string& sentence : sentences) {
        text += (text.empty() ? "" : "; ") + sentence;
    }
    return text;
}

// The running instance of this user, looked for in every folder where one may listen.
std::unique_ptr<QLocalSocket> FindRunningInstance(const InstanceFolders& folders) {
    for (const std::filesystem::path& folder : folders.searched) {
        if (auto running = ConnectToRunningInstance(InstanceSocketIn(folder))) {
            return running;
        }
    }
    return nullptr;
}

} // namespace

InstanceRole RunInstanceCheck(const StartSwitches& switches, InstanceServer& server,
                              const InstanceFolders& folders) {
    if (folders.own.empty()) {
        // Someone took every name on purpose (or the temporary folder cannot be written at all).
        // Running anyway is what a squatter wants: a copy that later starts and "/Kill" cannot
        // find, two programs writing to one keyboard. Ending with an error gets it seen, and the
        // message says the way out.
        std::fprintf(stderr,
                     "tavrik: no folder private to this user can hold the single-instance "
                     "socket (%s); not starting, since later starts could not find this copy; "
                     "set XDG_RUNTIME_DIR to a folder of your own with mode 0700, or have the "
                     "folders above removed\n",
                     Joined(folders.refused).c_str());
        return InstanceRole::NoPrivateFolder;
    }
    if (!folders.refused.empty()) {
        std::fprintf(stderr, "tavrik: %s; the single-instance socket is in %s instead\n",
                     Joined(folders.refused).c_str(), folders.own.string().c_str());
    }
    if (auto running = FindRunningInstance(folders)) {
        // Handed over even when the running one did not answer: a second window never opens.
        NotifyRunningInstance(*running,
                              switches.kill ? InstanceCommand::Kill : InstanceCommand::Open);
        return InstanceRole::HandedOver;
    }
    // Nothing to stop with "/Kill": start as usual.
    const std::filesystem::path socketPath = InstanceSocketIn(folders.own);
    switch (server.Listen(socketPath)) {
    case InstanceServer::ListenResult::Listening:
        return InstanceRole::Primary;
    case InstanceServer::ListenResult::InUse:
        // Another start got there first, between the look above and the listen.
        if (auto running = ConnectToRunningInstance(socketPath)) {
            NotifyRunningInstance(*running, InstanceCommand::Open);
        }
        return InstanceRole::HandedOver;
    case InstanceServer::ListenResult::Failed:
        break;
    }
    // A fault of the system in the user's own private folder, which no other user can cause
    // there: the program runs, only without the hand-over.
    std::fprintf(stderr,
                 "tavrik: cannot listen on %s; running without the single-instance "
                 "check\n",
                 socketPath.string().c_str());
    return InstanceRole::Primary;
}

} // namespace tavrik
