#pragma once
// The rig's own view of the system: a mount and a network namespace of its own, in which /sys,
// /dev and /run are covered by writable copies (tmpfs folders whose entries are bind mounts of
// what was there), so that the keyboard's sysfs entries, its /dev nodes and udev's run-time files
// can be made without touching the machine, and udev messages reach only the programs inside.

#include <filesystem>
#include <set>
#include <string>

namespace tavrik::rig {

// Enters new mount and network namespaces; mounts made from now on are seen only inside them.
// Must run before the process starts a thread.
bool EnterPrivateNamespaces(std::string* error);

// A tmpfs at `stage` (an empty folder) for the copies.
bool MountStage(const std::filesystem::path& stage, std::string* error);

// Covers `target` with a copy made at `copy` (inside the stage): each entry is a bind mount of the
// original, except the folders named in `opened` (relative to `target`), which are copied the same
// way one level deeper so that new entries can be made in them.
bool CoverWithCopy(const std::filesystem::path& target, const std::filesystem::path& copy,
                   const std::set<std::filesystem::path>& opened, std::string* error);

// Puts the file `source` at `target` (made as an empty file first) with a bind mount.
bool BindFile(const std::filesystem::path& source, const std::filesystem::path& target,
              std::string* error);
// Takes a file put there by BindFile away.
void UnbindFile(const std::filesystem::path& target);

// Detaches the stage and removes its folder.
void DropStage(const std::filesystem::path& stage);

} // namespace tavrik::rig
