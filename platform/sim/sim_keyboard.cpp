#include "platform/sim/sim_keyboard.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <utility>

#include "platform/dispatcher.h"

namespace keydeck {

namespace {

constexpr uint32_t kErrorDeviceNotConnected = 1167;

struct SimInterface {
    HidEnumeratedInterface entry;
    HidCapabilities caps;
    HidAttributes attributes;
    bool keyboard = false;  // one of the keyboard's own interfaces
    bool config = false;    // the one that takes the configuration reports
};

// Notices are posted outside the keyboard's mutex; the gate keeps a watcher
// that is being dropped (and its dispatcher) from being posted to meanwhile.
struct WatcherGate {
    std::mutex mutex;
    bool alive = true;
};

struct Watcher {
    int id = 0;
    IDispatcher* dispatcher = nullptr;
    std::shared_ptr<DeviceNoticeCallback> callback;
    std::shared_ptr<WatcherGate> gate;
};

std::string KeyboardPath(uint16_t vid, uint16_t pid, const char* fields, const char* instance) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "\\\\?\\hid#vid_%04x&pid_%04x%s#%s#{4d1e55b2-f16f-11cf-88cb-001111000030}", vid,
                  pid, fields, instance);
    return text;
}

}  // namespace

struct SimKeyboard::Shared {
    Config config;
    mutable std::mutex mutex;
    std::condition_variable changed;

    std::vector<SimInterface> before, keyboard, after;
    bool plugged = true;
    uint64_t generation = 0;
    int32_t firmwareVersion = 0;

    bool refuseOpen = false;
    HidOpenError refuseError = HidOpenError::kPermissionDenied;
    bool failTransfers = false;
    bool failCaps = false;
    bool stallWrites = false;
    bool unplugNext = false;
    bool failNextDetail = false;

    std::vector<Report> reports;
    int opens = 0;
    int live = 0;
    int cancelled = 0;
    int restores = 0;
    uint32_t nextHandle = 0x100;

    std::vector<Watcher> watchers;
    int nextWatcher = 1;

    bool stopping = false;
    std::optional<std::chrono::steady_clock::time_point> dropAt, returnAt;

    std::chrono::steady_clock::time_point Now() const {
        return config.clock ? config.clock() : std::chrono::steady_clock::now();
    }

    const SimInterface* Find(const std::string& path) const {
        for (const auto* list : {&before, &keyboard, &after}) {
            for (const SimInterface& i : *list) {
                if (i.entry.path == path) return &i;
            }
        }
        return nullptr;
    }

    bool Present(const SimInterface& i) const { return !i.keyboard || plugged; }

    // Called with the mutex held; the notices go out after it is released.
    std::vector<std::function<void()>> SetPlugged(bool on) {
        std::vector<std::function<void()>> posts;
        if (plugged == on) return posts;
        plugged = on;
        ++generation;
        changed.notify_all();
        for (const SimInterface& i : keyboard) {
            DeviceNotice notice{on ? kDeviceArrival : kDeviceRemoveComplete, kDeviceTypeInterface,
                                i.entry.path};
            AddPosts(posts, notice);
        }
        return posts;
    }

    void AddPosts(std::vector<std::function<void()>>& posts, const DeviceNotice& notice) {
        for (const Watcher& w : watchers) {
            posts.push_back([w, notice] {
                std::lock_guard gate(w.gate->mutex);
                if (!w.gate->alive) return;
                w.dispatcher->Post([callback = w.callback, g = w.gate, notice] {
                    {
                        std::lock_guard lock(g->mutex);
                        if (!g->alive) return;
                    }
                    (*callback)(notice);
                });
            });
        }
    }
};

namespace {

void RunAll(const std::vector<std::function<void()>>& posts) {
    for (const auto& post : posts) post();
}

class SimConnection final : public IHidConnection {
public:
    SimConnection(std::shared_ptr<SimKeyboard::Shared> shared, const SimInterface& iface,
                  uint32_t handle)
        : shared_(std::move(shared)),
          path_(iface.entry.path),
          keyboard_(iface.keyboard),
          config_(iface.config),
          generation_(shared_->generation),
          handle_(handle) {}

    ~SimConnection() override {
        std::lock_guard lock(shared_->mutex);
        --shared_->live;
    }

    uint32_t HandleValue() const override { return handle_; }

    std::optional<HidAttributes> GetAttributes() override {
        std::lock_guard lock(shared_->mutex);
        if (!Usable()) return std::nullopt;
        return shared_->Find(path_)->attributes;
    }

    std::optional<HidCapabilities> GetCapabilities() override {
        std::lock_guard lock(shared_->mutex);
        if (!Usable() || shared_->failCaps) return std::nullopt;
        return shared_->Find(path_)->caps;
    }

    bool SetFeature(const uint8_t* report, size_t length) override {
        std::vector<std::function<void()>> posts;
        bool ok = false;
        {
            std::lock_guard lock(shared_->mutex);
            if (!BeginTransfer(posts)) {
                ok = false;
            } else {
                Record(Report::Kind::kSetFeature, report, length);
                ok = true;
            }
        }
        RunAll(posts);
        return ok;
    }

    bool GetFeature(uint8_t* buffer, size_t length) override {
        std::vector<std::function<void()>> posts;
        bool ok = false;
        {
            std::lock_guard lock(shared_->mutex);
            if (BeginTransfer(posts) && length >= 3 && buffer[0] == 0x07) {
                std::fill(buffer + 1, buffer + length, uint8_t{0});
                buffer[1] = static_cast<uint8_t>((shared_->firmwareVersion >> 8) & 0xFF);
                buffer[2] = static_cast<uint8_t>(shared_->firmwareVersion & 0xFF);
                Record(Report::Kind::kGetFeature, buffer, length);
                ok = true;
            }
        }
        RunAll(posts);
        return ok;
    }

    HidWriteOutcome Write(const uint8_t* data, size_t length,
                          std::chrono::milliseconds timeout) override {
        std::vector<std::function<void()>> posts;
        HidWriteOutcome outcome;
        {
            std::unique_lock lock(shared_->mutex);
            if (!BeginTransfer(posts)) {
                outcome.kind = HidWriteOutcome::Kind::kFailed;
                outcome.errorCode = kErrorDeviceNotConnected;
            } else if (shared_->stallWrites) {
                // Pending until the time-out, then cancelled: nothing reads
                // `data` after this returns.
                shared_->changed.wait_for(lock, timeout,
                                          [&] { return shared_->generation != generation_; });
                ++shared_->cancelled;
                outcome.kind = HidWriteOutcome::Kind::kTimedOut;
                outcome.errorCode = kHidErrorIoPending;
            } else {
                Record(Report::Kind::kOutput, data, length);
                outcome.kind = HidWriteOutcome::Kind::kCompleted;
                outcome.bytesTransferred = static_cast<uint32_t>(length);
                if (length >= 3 && data[0] == 0x07 && data[1] == 0xF0 && data[2] == 0xAA) {
                    ++shared_->restores;
                    const auto now = std::chrono::steady_clock::now();
                    shared_->dropAt = now + std::chrono::milliseconds(20);
                    shared_->returnAt =
                        now + std::chrono::milliseconds(20) + shared_->config.restoreOffTime;
                    shared_->changed.notify_all();
                }
            }
        }
        RunAll(posts);
        return outcome;
    }

private:
    using Report = SimKeyboard::Report;

    bool Usable() const {
        return keyboard_ ? shared_->plugged && shared_->generation == generation_ : true;
    }

    // With the mutex held: whether the transfer reaches the keyboard.
    bool BeginTransfer(std::vector<std::function<void()>>& posts) {
        if (!Usable() || shared_->failTransfers || !config_) return false;
        if (shared_->unplugNext) {
            shared_->unplugNext = false;
            posts = shared_->SetPlugged(false);
            return false;
        }
        return true;
    }

    void Record(Report::Kind kind, const uint8_t* bytes, size_t length) {
        shared_->reports.push_back(
            Report{kind, std::vector<uint8_t>(bytes, bytes + length), path_, shared_->Now()});
    }

    std::shared_ptr<SimKeyboard::Shared> shared_;
    std::string path_;
    bool keyboard_;
    bool config_;
    uint64_t generation_;
    uint32_t handle_;
};

class SimNoticeSource final : public IDeviceNoticeSource {
public:
    SimNoticeSource(std::shared_ptr<SimKeyboard::Shared> shared, int id,
                    std::shared_ptr<WatcherGate> gate)
        : shared_(std::move(shared)), id_(id), gate_(std::move(gate)) {}
    ~SimNoticeSource() override {
        {
            std::lock_guard lock(gate_->mutex);
            gate_->alive = false;
        }
        std::lock_guard lock(shared_->mutex);
        std::erase_if(shared_->watchers, [&](const Watcher& w) { return w.id == id_; });
    }

private:
    std::shared_ptr<SimKeyboard::Shared> shared_;
    int id_;
    std::shared_ptr<WatcherGate> gate_;
};

}  // namespace

SimKeyboard::SimKeyboard() : SimKeyboard(Config{}) {}

SimKeyboard::SimKeyboard(Config config) : shared_(std::make_shared<Shared>()) {
    Shared& s = *shared_;
    s.config = std::move(config);
    s.firmwareVersion = s.config.firmwareVersion;
    const uint16_t vid = s.config.vendorId;
    const uint16_t pid = s.config.productId;
    const HidAttributes attributes{vid, pid, s.config.releaseNumber};

    SimInterface boot;
    boot.entry.path = KeyboardPath(vid, pid, "&mi_00", "8&2a1f3c&0&0000");
    boot.caps = HidCapabilities{0x06, 0x01, 9, 2, 0};
    boot.attributes = attributes;
    boot.keyboard = true;

    SimInterface vendor;
    vendor.entry.path = KeyboardPath(vid, pid, "&mi_01&col01", "8&1b2c3d&0&0000");
    vendor.caps = HidCapabilities{0x01, 0xFF00, 0, 8, 8};
    vendor.attributes = attributes;
    vendor.keyboard = true;
    vendor.config = true;

    SimInterface consumer;
    consumer.entry.path = KeyboardPath(vid, pid, "&mi_01&col02", "8&1b2c3d&0&0001");
    consumer.caps = HidCapabilities{0x01, 0x0C, 3, 0, 0};
    consumer.attributes = attributes;
    consumer.keyboard = true;

    s.keyboard = {boot, vendor, consumer};

    timer_ = std::thread([shared = shared_] {
        std::unique_lock lock(shared->mutex);
        while (!shared->stopping) {
            const auto now = std::chrono::steady_clock::now();
            std::vector<std::function<void()>> posts;
            if (shared->dropAt && *shared->dropAt <= now) {
                shared->dropAt.reset();
                posts = shared->SetPlugged(false);
            } else if (!shared->dropAt && shared->returnAt && *shared->returnAt <= now) {
                shared->returnAt.reset();
                posts = shared->SetPlugged(true);
            }
            if (!posts.empty()) {
                lock.unlock();
                RunAll(posts);
                lock.lock();
                continue;
            }
            const auto next = shared->dropAt ? shared->dropAt : shared->returnAt;
            if (next) {
                shared->changed.wait_until(lock, *next);
            } else {
                shared->changed.wait(lock);
            }
        }
    });
}

SimKeyboard::~SimKeyboard() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
        shared_->changed.notify_all();
    }
    timer_.join();
}

std::string SimKeyboard::ConfigInterfacePath() const {
    return shared_->keyboard[1].entry.path;
}
std::string SimKeyboard::ConsumerInterfacePath() const {
    return shared_->keyboard[2].entry.path;
}
std::string SimKeyboard::BootInterfacePath() const {
    return shared_->keyboard[0].entry.path;
}

std::vector<std::string> SimKeyboard::KeyboardPaths() const {
    std::vector<std::string> paths;
    for (const SimInterface& i : shared_->keyboard) paths.push_back(i.entry.path);
    return paths;
}

void SimKeyboard::AddForeignInterface(const HidEnumeratedInterface& entry,
                                      const HidCapabilities& caps, bool beforeKeyboard) {
    std::lock_guard lock(shared_->mutex);
    SimInterface i;
    i.entry = entry;
    i.caps = caps;
    (beforeKeyboard ? shared_->before : shared_->after).push_back(i);
}

void SimKeyboard::Plug() {
    std::vector<std::function<void()>> posts;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->dropAt.reset();
        shared_->returnAt.reset();
        posts = shared_->SetPlugged(true);
    }
    RunAll(posts);
}

void SimKeyboard::Unplug() {
    std::vector<std::function<void()>> posts;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->dropAt.reset();
        shared_->returnAt.reset();
        posts = shared_->SetPlugged(false);
    }
    RunAll(posts);
}

bool SimKeyboard::plugged() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->plugged;
}

void SimKeyboard::SendNotice(const DeviceNotice& notice) {
    std::vector<std::function<void()>> posts;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->AddPosts(posts, notice);
    }
    RunAll(posts);
}

void SimKeyboard::SetFirmwareVersion(int32_t version) {
    std::lock_guard lock(shared_->mutex);
    shared_->firmwareVersion = version;
}

void SimKeyboard::SetOutputReportLength(uint16_t length) {
    std::lock_guard lock(shared_->mutex);
    shared_->keyboard[1].caps.outputReportByteLength = length;
}

void SimKeyboard::SetRefuseOpen(bool refuse, HidOpenError error) {
    std::lock_guard lock(shared_->mutex);
    shared_->refuseOpen = refuse;
    shared_->refuseError = error;
}

void SimKeyboard::SetFailTransfers(bool fail) {
    std::lock_guard lock(shared_->mutex);
    shared_->failTransfers = fail;
}

void SimKeyboard::SetFailCapabilityQuery(bool fail) {
    std::lock_guard lock(shared_->mutex);
    shared_->failCaps = fail;
}

void SimKeyboard::SetStallWrites(bool stall) {
    std::lock_guard lock(shared_->mutex);
    shared_->stallWrites = stall;
}

void SimKeyboard::UnplugDuringNextTransfer() {
    std::lock_guard lock(shared_->mutex);
    shared_->unplugNext = true;
}

void SimKeyboard::SetFailNextDetail(bool fail) {
    std::lock_guard lock(shared_->mutex);
    shared_->failNextDetail = fail;
}

std::vector<SimKeyboard::Report> SimKeyboard::Reports() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->reports;
}

void SimKeyboard::ClearReports() {
    std::lock_guard lock(shared_->mutex);
    shared_->reports.clear();
}

int SimKeyboard::openCount() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->opens;
}

int SimKeyboard::liveConnections() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->live;
}

int SimKeyboard::cancelledWrites() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->cancelled;
}

int SimKeyboard::restoreCount() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->restores;
}

std::vector<HidEnumeratedInterface> SimKeyboard::EnumerateInterfaces() {
    std::lock_guard lock(shared_->mutex);
    std::vector<HidEnumeratedInterface> present;
    for (const auto* list : {&shared_->before, &shared_->keyboard, &shared_->after}) {
        for (const SimInterface& i : *list) {
            if (!shared_->Present(i)) continue;
            HidEnumeratedInterface entry = i.entry;
            if (shared_->failNextDetail) {
                shared_->failNextDetail = false;
                entry.detail = HidEnumeratedInterface::Detail::kFailed;
                entry.path.clear();
            }
            present.push_back(entry);
        }
    }
    return present;
}

HidOpenResult SimKeyboard::Open(const std::string& path, uint32_t access, uint32_t share) {
    (void)share;
    std::lock_guard lock(shared_->mutex);
    ++shared_->opens;
    const SimInterface* iface = shared_->Find(path);
    if (iface == nullptr || !shared_->Present(*iface)) return {nullptr, HidOpenError::kNotFound};
    if (iface->keyboard && shared_->refuseOpen && access != 0) {
        return {nullptr, shared_->refuseError};
    }
    ++shared_->live;
    const uint32_t handle = shared_->nextHandle;
    shared_->nextHandle += 4;
    return {std::make_unique<SimConnection>(shared_, *iface, handle), HidOpenError::kNone};
}

std::optional<HidCapabilities> SimKeyboard::QueryCapabilities(const std::string& path) {
    std::lock_guard lock(shared_->mutex);
    const SimInterface* iface = shared_->Find(path);
    if (iface == nullptr || !shared_->Present(*iface) || shared_->failCaps) return std::nullopt;
    return iface->caps;
}

std::unique_ptr<IDeviceNoticeSource> SimKeyboard::WatchDeviceNotices(
    IDispatcher& dispatcher, DeviceNoticeCallback callback) {
    std::lock_guard lock(shared_->mutex);
    Watcher w;
    w.id = shared_->nextWatcher++;
    w.dispatcher = &dispatcher;
    w.callback = std::make_shared<DeviceNoticeCallback>(std::move(callback));
    w.gate = std::make_shared<WatcherGate>();
    shared_->watchers.push_back(w);
    return std::make_unique<SimNoticeSource>(shared_, w.id, w.gate);
}

}  // namespace keydeck
