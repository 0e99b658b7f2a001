#pragma once
// The instance check of the start routine: "/Kill" ends a running instance and this process;
// otherwise a running instance is asked to show its window and this process ends; without one
// this process becomes the primary instance and listens for later starts.

#include "app/command_line.h"

#include <filesystem>

namespace tavrik {

class InstanceServer;

enum class InstanceRole { Primary, HandedOver };

InstanceRole RunInstanceCheck(const StartSwitches& switches, InstanceServer& server,
                              const std::filesystem::path& socketPath);

} // namespace tavrik
