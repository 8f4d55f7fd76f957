#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <map>
#include <thread>

#include "platform/dispatcher.h"
#include "platform/linux/hid_udev_linux.h"

namespace keydeck {

namespace {

using linux_hid::UdevPtr;

// Watches the hidraw subsystem and turns each add and remove into one notice
// per interface path. Removals carry the paths remembered at arrival (or at
// the start), because sysfs no longer describes the device by then.
class LinuxDeviceNoticeSource final : public IDeviceNoticeSource {
public:
    LinuxDeviceNoticeSource(IDispatcher& dispatcher, DeviceNoticeCallback callback)
        : dispatcher_(dispatcher),
          callback_(std::make_shared<DeviceNoticeCallback>(std::move(callback))),
          alive_(std::make_shared<std::atomic<bool>>(true)) {}

    bool Start() {
        udev_.reset(udev_new());
        if (!udev_) return false;
        // With udevd running, its events come after the node's permissions
        // are set, so an arrival can be opened at once; without it (a bare
        // system, a VM) only the kernel's own events exist.
        const bool udevd = access("/run/udev/control", F_OK) == 0;
        monitor_.reset(udev_monitor_new_from_netlink(udev_.get(), udevd ? "udev" : "kernel"));
        if (!monitor_) return false;
        udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), "hidraw", nullptr);
        if (udev_monitor_enable_receiving(monitor_.get()) < 0) return false;
        stop_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (stop_ < 0) return false;
        RememberPresent();
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    ~LinuxDeviceNoticeSource() override {
        alive_->store(false);
        if (stop_ >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = write(stop_, &one, sizeof one);
        }
        if (thread_.joinable()) thread_.join();
        if (stop_ >= 0) close(stop_);
    }

private:
    void RememberPresent() {
        UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(udev_.get()));
        if (!enumerate) return;
        udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
        udev_enumerate_scan_devices(enumerate.get());
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
            UdevPtr<udev_device> device(
                udev_device_new_from_syspath(udev_.get(), udev_list_entry_get_name(entry)));
            if (device) Remember(device.get());
        }
    }

    std::vector<std::string> Remember(udev_device* device) {
        std::vector<std::string> paths;
        for (const auto& i : linux_hid::DescribeHidraw(device)) paths.push_back(i.path);
        if (const char* name = udev_device_get_sysname(device)) known_[name] = paths;
        return paths;
    }

    void Run() {
        const int monitorFd = udev_monitor_get_fd(monitor_.get());
        for (;;) {
            pollfd fds[2] = {{stop_, POLLIN, 0}, {monitorFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[0].revents != 0) return;
            if (fds[1].revents == 0) continue;
            UdevPtr<udev_device> device(udev_monitor_receive_device(monitor_.get()));
            if (device) Handle(device.get());
        }
    }

    void Handle(udev_device* device) {
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        if (action == nullptr || name == nullptr) return;
        std::vector<std::string> paths;
        uint32_t event = 0;
        if (std::strcmp(action, "add") == 0) {
            event = kDeviceArrival;
            paths = Remember(device);
        } else if (std::strcmp(action, "remove") == 0) {
            event = kDeviceRemoveComplete;
            const auto it = known_.find(name);
            if (it == known_.end()) return;
            paths = std::move(it->second);
            known_.erase(it);
        } else {
            return;
        }
        for (std::string& path : paths) {
            DeviceNotice notice{event, kDeviceTypeInterface, std::move(path)};
            dispatcher_.Post([callback = callback_, alive = alive_, notice = std::move(notice)] {
                if (alive->load()) (*callback)(notice);
            });
        }
    }

    IDispatcher& dispatcher_;
    std::shared_ptr<DeviceNoticeCallback> callback_;
    std::shared_ptr<std::atomic<bool>> alive_;
    UdevPtr<udev> udev_;
    UdevPtr<udev_monitor> monitor_;
    int stop_ = -1;
    std::map<std::string, std::vector<std::string>> known_;  // the watcher thread's only
    std::thread thread_;
};

}  // namespace

std::unique_ptr<IDeviceNoticeSource> CreateLinuxDeviceNoticeSource(IDispatcher& dispatcher,
                                                                   DeviceNoticeCallback callback) {
    auto source = std::make_unique<LinuxDeviceNoticeSource>(dispatcher, std::move(callback));
    if (!source->Start()) return nullptr;
    return source;
}

}  // namespace keydeck
