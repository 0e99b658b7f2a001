#pragma once
// A HidPlatform with no hardware behind it: the test attaches and detaches hidraw nodes, sets
// their report descriptors and permissions, feeds input reports, answers writes, and raises
// hot-plug events. Nothing here touches /dev or /sys.

#include "device/hid_platform.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>

namespace tavrik::test {

class FakeHidSystem {
public:
    using Responder = std::function<std::vector<std::vector<uint8_t>>(std::span<const uint8_t>)>;

    void Attach(const std::string& path, std::vector<HidCollectionInfo> units,
                std::optional<std::vector<uint8_t>> descriptor = std::nullopt) {
        std::lock_guard lock(mutex_);
        for (auto& unit : units) {
            unit.path = path;
            rows_.push_back(unit);
        }
        descriptors_[path] = std::move(descriptor);
        nodes_[path] = std::make_shared<Node>();
    }
    void Detach(const std::string& path) {
        std::lock_guard lock(mutex_);
        std::erase_if(rows_, [&](const auto& row) { return row.path == path; });
        if (auto node = nodes_[path])
            node->attached = false;
        changed_.notify_all();
    }
    void SetAccess(const std::string& path, bool allowed) {
        std::lock_guard lock(mutex_);
        if (allowed)
            denied_.erase(path);
        else
            denied_.insert(path);
    }
    void SetNodeAccess(const std::string& path, HidNodeAccess access) {
        std::lock_guard lock(mutex_);
        access_[path] = std::move(access);
    }
    void SetSystemFacts(HidSystemFacts facts) {
        std::lock_guard lock(mutex_);
        system_ = std::move(facts);
    }
    // Raises one hot-plug event and returns once the bridge has handled it.
    void Hotplug() {
        std::unique_lock lock(mutex_);
        ++pendingEvents_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return pendingEvents_ == 0 && watcherWaiting_; });
    }
    void Input(const std::string& path, std::vector<uint8_t> report) {
        std::lock_guard lock(mutex_);
        nodes_.at(path)->input.push_back(std::move(report));
        changed_.notify_all();
    }
    // Every report written to `path` is passed to the responder; what it returns is read back.
    void Respond(const std::string& path, Responder responder) {
        std::lock_guard lock(mutex_);
        nodes_.at(path)->responder = std::move(responder);
    }
    std::vector<std::vector<uint8_t>> Written(const std::string& path) const {
        std::lock_guard lock(mutex_);
        return nodes_.at(path)->written;
    }
    int OpenCount(const std::string& path) const {
        std::lock_guard lock(mutex_);
        return nodes_.at(path)->opens;
    }

private:
    friend class FakeHidPlatform;
    friend class FakeNode;
    friend class FakeWatch;

    struct Node {
        bool attached = true;
        int opens = 0;
        std::deque<std::vector<uint8_t>> input;
        std::vector<std::vector<uint8_t>> written;
        Responder responder;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<HidCollectionInfo> rows_;
    std::map<std::string, std::optional<std::vector<uint8_t>>> descriptors_;
    std::map<std::string, std::shared_ptr<Node>> nodes_;
    std::set<std::string> denied_;
    std::map<std::string, HidNodeAccess> access_;
    HidSystemFacts system_;
    int pendingEvents_ = 0;
    bool watcherWaiting_ = false;
    bool woken_ = false;
};

class FakeNode final : public HidNode {
public:
    FakeNode(FakeHidSystem& system, std::shared_ptr<FakeHidSystem::Node> node)
        : system_(system)
        , node_(std::move(node)) {}

    int Write(std::span<const uint8_t> report) override {
        std::lock_guard lock(system_.mutex_);
        if (!node_->attached)
            return -1;
        node_->written.emplace_back(report.begin(), report.end());
        if (node_->responder)
            for (auto& answer : node_->responder(report))
                node_->input.push_back(std::move(answer));
        system_.changed_.notify_all();
        return static_cast<int>(report.size());
    }
    int Read(std::span<uint8_t> buffer, std::chrono::milliseconds timeout) override {
        std::unique_lock lock(system_.mutex_);
        system_.changed_.wait_for(lock, timeout,
                                  [&] { return !node_->attached || !node_->input.empty(); });
        if (!node_->attached)
            return -1;
        if (node_->input.empty())
            return 0;
        const std::vector<uint8_t> report = std::move(node_->input.front());
        node_->input.pop_front();
        const size_t length = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), length, buffer.begin());
        return static_cast<int>(length);
    }

private:
    FakeHidSystem& system_;
    std::shared_ptr<FakeHidSystem::Node> node_;
};

class FakeWatch final : public HotplugWatch {
public:
    explicit FakeWatch(FakeHidSystem& system)
        : system_(system) {}

    bool Wait() override {
        std::unique_lock lock(system_.mutex_);
        system_.watcherWaiting_ = true;
        system_.changed_.notify_all();
        system_.changed_.wait(lock, [&] { return system_.pendingEvents_ > 0 || system_.woken_; });
        system_.watcherWaiting_ = false;
        if (system_.woken_)
            return false;
        --system_.pendingEvents_;
        return true;
    }
    void Wake() override {
        std::lock_guard lock(system_.mutex_);
        system_.woken_ = true;
        system_.changed_.notify_all();
    }

private:
    FakeHidSystem& system_;
};

class FakeHidPlatform final : public HidPlatform {
public:
    explicit FakeHidPlatform(FakeHidSystem& system, bool watchWorks = true)
        : system_(system)
        , watchWorks_(watchWorks) {}

    std::vector<HidCollectionInfo> Enumerate(uint16_t vendorId, uint16_t productId) override {
        std::lock_guard lock(system_.mutex_);
        return vendorId == 0x04B4 && productId == 0x2009 ? system_.rows_
                                                         : std::vector<HidCollectionInfo>{};
    }
    OpenedNode Open(const std::string& path) override {
        std::lock_guard lock(system_.mutex_);
        if (system_.denied_.contains(path))
            return {nullptr, OpenFailure::AccessDenied};
        auto node = system_.nodes_.at(path);
        if (!node->attached)
            return {nullptr, OpenFailure::Other};
        ++node->opens;
        return {std::make_unique<FakeNode>(system_, node), OpenFailure::None};
    }
    std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) override {
        std::lock_guard lock(system_.mutex_);
        return system_.descriptors_.at(path);
    }
    std::unique_ptr<HotplugWatch> WatchHotplug() override {
        return watchWorks_ ? std::make_unique<FakeWatch>(system_) : nullptr;
    }
    HidNodeAccess NodeAccess(const std::string& path) override {
        std::lock_guard lock(system_.mutex_);
        const auto found = system_.access_.find(path);
        return found == system_.access_.end() ? HidNodeAccess{} : found->second;
    }
    HidSystemFacts SystemFacts() override {
        std::lock_guard lock(system_.mutex_);
        return system_.system_;
    }
    // The fake nodes are no files: this keyboard is the test's alone.
    std::optional<TurnPlace> TurnPlaceOf(const std::string&) override { return std::nullopt; }

private:
    FakeHidSystem& system_;
    bool watchWorks_;
};

} // namespace tavrik::test
