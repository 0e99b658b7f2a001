#pragma once
// The instance check of the start routine: "/Kill" ends a running instance and this process;
// otherwise a running instance is asked to show its window and this process ends; without one
// this process becomes the primary instance and listens for later starts.

#include "app/command_line.h"

namespace tavrik {

class InstanceServer;
struct InstanceFolders;

// NoPrivateFolder: no folder private to the user could hold the socket; this process must end
// (with a non-zero exit code) rather than run beside an instance it cannot see.
enum class InstanceRole { Primary, HandedOver, NoPrivateFolder };

InstanceRole RunInstanceCheck(const StartSwitches& switches, InstanceServer& server,
                              const InstanceFolders& folders);

} // namespace tavrik
