#define FUSE_USE_VERSION 35
#include "hidraw_rig/hidraw_files.h"

#include <fuse_lowlevel.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <deque>
#include <poll.h>
#include <set>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <utility>

namespace tavrik::rig {

namespace {

inline constexpr fuse_ino_t kRootInode = FUSE_ROOT_ID;
// hidraw keeps this many reports per open file and drops newer ones while it is full.
inline constexpr size_t kQueuedReports = 64;
// The longest report hidraw takes (HID_MAX_BUFFER_SIZE); a write of less than two bytes is no
// report either.
inline constexpr size_t kMaxReport = 16384;
inline constexpr size_t kMinWrite = 2;

} // namespace

struct HidrawFiles::Node {
    fuse_ino_t inode = 0;
    HidrawNodeFacts facts;
    bool present = true;
    timespec born{};
    std::set<OpenFile*> files;
};

struct HidrawFiles::OpenFile {
    std::shared_ptr<Node> node;
    std::deque<std::vector<uint8_t>> reports;
    std::deque<std::pair<fuse_req_t, size_t>> reads; // blocked reads and their sizes
    fuse_pollhandle* poll = nullptr;
};

class HidrawFiles::Requests {
public:
    static HidrawFiles& Files(fuse_req_t req) {
        return *static_cast<HidrawFiles*>(fuse_req_userdata(req));
    }
    static OpenFile& File(const fuse_file_info* fi) { return *reinterpret_cast<OpenFile*>(fi->fh); }

    static struct stat Attributes(fuse_ino_t inode, const Node* node) {
        struct stat attr {};
        attr.st_ino = inode;
        if (node == nullptr) {
            attr.st_mode = S_IFDIR | 0755;
            attr.st_nlink = 2;
            return attr;
        }
        attr.st_mode = S_IFREG | node->facts.mode;
        attr.st_nlink = 1;
        attr.st_uid = node->facts.owner;
        attr.st_gid = node->facts.group;
        attr.st_atim = attr.st_mtim = attr.st_ctim = node->born;
        return attr;
    }

    static void Lookup(fuse_req_t req, fuse_ino_t parent, const char* name) {
        HidrawFiles& files = Files(req);
        std::unique_lock lock(files.mutex_);
        for (const auto& [inode, node] : files.nodes_) {
            if (parent == kRootInode && node->present && node->facts.name == name) {
                fuse_entry_param entry{};
                entry.ino = inode;
                entry.generation = 1;
                entry.attr = Attributes(inode, node.get());
                lock.unlock();
                fuse_reply_entry(req, &entry);
                return;
            }
        }
        lock.unlock();
        fuse_reply_err(req, ENOENT);
    }

    static void GetAttr(fuse_req_t req, fuse_ino_t inode, fuse_file_info*) {
        HidrawFiles& files = Files(req);
        std::unique_lock lock(files.mutex_);
        const auto found = files.nodes_.find(inode);
        if (inode != kRootInode && found == files.nodes_.end()) {
            lock.unlock();
            fuse_reply_err(req, ENOENT);
            return;
        }
        const struct stat attr =
            Attributes(inode, inode == kRootInode ? nullptr : found->second.get());
        lock.unlock();
        fuse_reply_attr(req, &attr, 0);
    }

    static void Open(fuse_req_t req, fuse_ino_t inode, fuse_file_info* fi) {
        HidrawFiles& files = Files(req);
        std::unique_lock lock(files.mutex_);
        const auto found = files.nodes_.find(inode);
        if (found == files.nodes_.end() || !found->second->present) {
            lock.unlock();
            fuse_reply_err(req, inode == kRootInode ? EISDIR : ENODEV);
            return;
        }
        auto* file = new OpenFile{.node = found->second, .reports = {}, .reads = {}};
        found->second->files.insert(file);
        lock.unlock();
        fi->fh = reinterpret_cast<uint64_t>(file);
        fi->direct_io = 1;
        fi->nonseekable = 1;
        fuse_reply_open(req, fi);
    }

    static void Release(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
        HidrawFiles& files = Files(req);
        OpenFile* file = &File(fi);
        {
            std::lock_guard lock(files.mutex_);
            file->node->files.erase(file);
            if (!file->node->present && file->node->files.empty())
                files.nodes_.erase(file->node->inode);
        }
        if (file->poll)
            fuse_pollhandle_destroy(file->poll);
        delete file;
        fuse_reply_err(req, 0);
    }

    static void Read(fuse_req_t req, fuse_ino_t, size_t size, off_t, fuse_file_info* fi) {
        HidrawFiles& files = Files(req);
        OpenFile& file = File(fi);
        std::unique_lock lock(files.mutex_);
        if (!file.reports.empty()) {
            std::vector<uint8_t> report = std::move(file.reports.front());
            file.reports.pop_front();
            lock.unlock();
            fuse_reply_buf(req, reinterpret_cast<const char*>(report.data()),
                           std::min(size, report.size()));
            return;
        }
        const int refusal = !file.node->present ? EIO : (fi->flags & O_NONBLOCK) ? EAGAIN : 0;
        if (refusal == 0)
            file.reads.emplace_back(req, size);
        lock.unlock();
        if (refusal != 0)
            fuse_reply_err(req, refusal);
        else
            fuse_req_interrupt_func(req, &Requests::Interrupted, &files);
    }

    static void Interrupted(fuse_req_t req, void* data) {
        auto& files = *static_cast<HidrawFiles*>(data);
        std::unique_lock lock(files.mutex_);
        for (const auto& [inode, node] : files.nodes_)
            for (OpenFile* file : node->files)
                if (std::erase_if(file->reads,
                                  [&](const auto& read) { return read.first == req; })) {
                    lock.unlock();
                    fuse_reply_err(req, EINTR);
                    return;
                }
    }

    static void Write(fuse_req_t req, fuse_ino_t, const char* data, size_t size, off_t,
                      fuse_file_info* fi) {
        HidrawFiles& files = Files(req);
        std::string name;
        {
            std::lock_guard lock(files.mutex_);
            const Node& node = *File(fi).node;
            if (node.present)
                name = node.facts.name;
        }
        const int error = name.empty() ? ENODEV
                          : size > kMaxReport || size < kMinWrite
                              ? EINVAL
                              : files.output_(name, {reinterpret_cast<const uint8_t*>(data), size});
        if (error != 0)
            fuse_reply_err(req, error);
        else
            fuse_reply_write(req, size);
    }

    static void Poll(fuse_req_t req, fuse_ino_t, fuse_file_info* fi, fuse_pollhandle* handle) {
        HidrawFiles& files = Files(req);
        OpenFile& file = File(fi);
        fuse_pollhandle* replaced = nullptr;
        unsigned events = POLLOUT | POLLWRNORM; // hidraw is always writable
        {
            std::lock_guard lock(files.mutex_);
            if (handle != nullptr)
                replaced = std::exchange(file.poll, handle);
            if (!file.reports.empty())
                events |= POLLIN | POLLRDNORM;
            if (!file.node->present)
                events |= POLLERR | POLLHUP;
        }
        if (replaced != nullptr)
            fuse_pollhandle_destroy(replaced);
        fuse_reply_poll(req, events);
    }

    // The variable-length string ioctls copy the string with its terminating zero, cut to the
    // caller's buffer, and return the bytes copied.
    static void ReplyString(fuse_req_t req, const std::string& text, size_t room) {
        const size_t length = std::min(text.size() + 1, room);
        fuse_reply_ioctl(req, static_cast<int>(length), text.c_str(), length);
    }

    static void Ioctl(fuse_req_t req, fuse_ino_t, unsigned int command, void*, fuse_file_info* fi,
                      unsigned, const void*, size_t, size_t room) {
        HidrawFiles& files = Files(req);
        HidrawNodeFacts facts;
        bool present = false;
        {
            std::lock_guard lock(files.mutex_);
            present = File(fi).node->present;
            facts = File(fi).node->facts;
        }
        if (!present) {
            fuse_reply_err(req, ENODEV);
            return;
        }
        Answer(req, command, facts, room);
    }

    static void Answer(fuse_req_t req, unsigned command, const HidrawNodeFacts& facts,
                       size_t room) {
        if (command == HIDIOCGRDESCSIZE) {
            const int size = static_cast<int>(facts.descriptor.size());
            fuse_reply_ioctl(req, 0, &size, sizeof size);
        } else if (command == HIDIOCGRDESC) {
            // FUSE hands a restricted ioctl no input for a read-only command, so the size the
            // caller asked for is not known: the whole descriptor is given with its size.
            hidraw_report_descriptor reply{};
            reply.size = static_cast<uint32_t>(facts.descriptor.size());
            std::ranges::copy(facts.descriptor, reply.value);
            fuse_reply_ioctl(req, 0, &reply, sizeof reply.size + reply.size);
        } else if (command == HIDIOCGRAWINFO) {
            const hidraw_devinfo info{.bustype = facts.bus,
                                      .vendor = static_cast<int16_t>(facts.vendorId),
                                      .product = static_cast<int16_t>(facts.productId)};
            fuse_reply_ioctl(req, 0, &info, sizeof info);
        } else if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ &&
                   _IOC_NR(command) == _IOC_NR(HIDIOCGRAWNAME(0))) {
            ReplyString(req, facts.hidName, room);
        } else if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ &&
                   _IOC_NR(command) == _IOC_NR(HIDIOCGRAWPHYS(0))) {
            ReplyString(req, facts.phys, room);
        } else if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ &&
                   _IOC_NR(command) == _IOC_NR(HIDIOCGRAWUNIQ(0))) {
            ReplyString(req, facts.uniq, room);
        } else {
            fuse_reply_err(req, ENOTTY);
        }
    }

    static const fuse_lowlevel_ops* Operations() {
        static const fuse_lowlevel_ops ops = [] {
            fuse_lowlevel_ops table{};
            table.lookup = &Requests::Lookup;
            table.getattr = &Requests::GetAttr;
            table.open = &Requests::Open;
            table.release = &Requests::Release;
            table.read = &Requests::Read;
            table.write = &Requests::Write;
            table.poll = &Requests::Poll;
            table.ioctl = &Requests::Ioctl;
            return table;
        }();
        return &ops;
    }
};

HidrawFiles::HidrawFiles(OutputHandler output)
    : output_(std::move(output)) {}

std::unique_ptr<HidrawFiles> HidrawFiles::Mount(const std::filesystem::path& mountPoint,
                                                OutputHandler output, std::string* error) {
    auto files = std::unique_ptr<HidrawFiles>(new HidrawFiles(std::move(output)));
    // Other users reach the nodes only as their owner, group and mode allow, as on /dev.
    const char* argv[] = {"tavrik-hidraw-rig", "-o",
                          "allow_other,default_permissions,fsname=hidraw-rig"};
    fuse_args args = FUSE_ARGS_INIT(3, const_cast<char**>(argv));
    files->session_ =
        fuse_session_new(&args, Requests::Operations(), sizeof(fuse_lowlevel_ops), files.get());
    // Parsing the options may have copied the arguments into memory of the library's.
    fuse_opt_free_args(&args);
    if (files->session_ == nullptr ||
        fuse_session_mount(files->session_, mountPoint.c_str()) != 0) {
        if (files->session_ != nullptr)
            fuse_session_destroy(std::exchange(files->session_, nullptr));
        *error = "cannot mount the hidraw files at " + mountPoint.string() + " (FUSE)";
        return nullptr;
    }
    files->loop_ = std::thread([session = files->session_] { fuse_session_loop(session); });
    return files;
}

HidrawFiles::~HidrawFiles() {
    if (session_ == nullptr)
        return;
    fuse_session_exit(session_);
    fuse_session_unmount(session_);
    loop_.join();
    fuse_session_destroy(session_);
}

void HidrawFiles::Add(const HidrawNodeFacts& facts) {
    auto node = std::make_shared<Node>();
    node->facts = facts;
    clock_gettime(CLOCK_REALTIME, &node->born);
    std::lock_guard lock(mutex_);
    node->inode = nextInode_++;
    nodes_[node->inode] = std::move(node);
}

void HidrawFiles::Remove(const std::string& name) {
    std::vector<fuse_req_t> failed;
    std::vector<fuse_pollhandle*> woken;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(nodes_, [&](auto& entry) {
            Node& node = *entry.second;
            if (!node.present || node.facts.name != name)
                return false;
            node.present = false;
            for (OpenFile* file : node.files) {
                for (const auto& read : file->reads)
                    failed.push_back(read.first);
                file->reads.clear();
                if (file->poll)
                    woken.push_back(std::exchange(file->poll, nullptr));
            }
            return node.files.empty();
        });
    }
    for (fuse_req_t req : failed)
        fuse_reply_err(req, EIO);
    for (fuse_pollhandle* handle : woken) {
        fuse_lowlevel_notify_poll(handle);
        fuse_pollhandle_destroy(handle);
    }
}

void HidrawFiles::Deliver(const std::string& name, std::span<const uint8_t> report) {
    std::vector<std::pair<fuse_req_t, size_t>> answered;
    std::vector<fuse_pollhandle*> woken;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [inode, node] : nodes_) {
            if (!node->present || node->facts.name != name)
                continue;
            for (OpenFile* file : node->files) {
                if (!file->reads.empty()) {
                    answered.push_back(file->reads.front());
                    file->reads.pop_front();
                } else if (file->reports.size() < kQueuedReports) {
                    file->reports.emplace_back(report.begin(), report.end());
                }
                if (file->poll)
                    woken.push_back(std::exchange(file->poll, nullptr));
            }
        }
    }
    for (const auto& [req, size] : answered)
        fuse_reply_buf(req, reinterpret_cast<const char*>(report.data()),
                       std::min(size, report.size()));
    for (fuse_pollhandle* handle : woken) {
        fuse_lowlevel_notify_poll(handle);
        fuse_pollhandle_destroy(handle);
    }
}

} // namespace tavrik::rig
