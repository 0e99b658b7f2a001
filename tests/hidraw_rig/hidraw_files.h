#pragma once
// Files that behave as the kernel's hidraw nodes, served with FUSE: a read blocks until an input
// report arrives and returns one report (cut to the reader's buffer), poll tells when one is
// waiting, a write sends one output report whose first byte is the report id, and the hidraw
// ioctls give the report descriptor, the bus and ids, the name, the physical path and the serial.
// Every open file receives every input report. A node that is removed keeps its open files, which
// then fail as hidraw's do: read and poll with EIO and POLLERR|POLLHUP, write and ioctls with
// ENODEV.
//
// Files and their folder live at the mount point under their node names (hidraw0, ...).

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

struct fuse_session;

namespace tavrik::rig {

struct HidrawNodeFacts {
    std::string name; // "hidraw1"
    std::vector<uint8_t> descriptor;
    uint32_t bus = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string hidName; // HIDIOCGRAWNAME
    std::string phys;    // HIDIOCGRAWPHYS
    std::string uniq;    // HIDIOCGRAWUNIQ
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0600;
};

class HidrawFiles {
public:
    // Gets one output report written to node `name`; returns 0 when it went out, or an errno.
    using OutputHandler = std::function<int(const std::string& name, std::span<const uint8_t>)>;

    // Mounts the files at `mountPoint` (an empty folder) and serves them on a thread of their
    // own; nothing and the reason when the mount fails.
    static std::unique_ptr<HidrawFiles> Mount(const std::filesystem::path& mountPoint,
                                              OutputHandler output, std::string* error);
    ~HidrawFiles();
    HidrawFiles(const HidrawFiles&) = delete;
    HidrawFiles& operator=(const HidrawFiles&) = delete;

    void Add(const HidrawNodeFacts& facts);
    void Remove(const std::string& name);
    // Hands one input report to every open file of the node.
    void Deliver(const std::string& name, std::span<const uint8_t> report);

    struct Node;
    struct OpenFile;
    // The requests of the file system, called by its session thread.
    class Requests;

private:
    explicit HidrawFiles(OutputHandler output);

    OutputHandler output_;
    std::mutex mutex_;
    std::map<uint64_t, std::shared_ptr<Node>> nodes_; // by inode, removed ones while open
    uint64_t nextInode_ = 2;
    fuse_session* session_ = nullptr;
    std::thread loop_;
};

} // namespace tavrik::rig
