#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "platform/hid_diagnostics.h"
#include "platform/hid_report_descriptor.h"
#include "platform/linux/hid_udev_linux.h"

namespace keydeck {

std::unique_ptr<IDeviceNoticeSource> CreateLinuxDeviceNoticeSource(IDispatcher& dispatcher,
                                                                   DeviceNoticeCallback callback);

namespace linux_hid {

namespace {

constexpr const char* kUdevRule = "70-keydeck.rules";

std::optional<unsigned> HexAttribute(udev_device* device, const char* name) {
    const char* text = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    if (text == nullptr) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end == text) return std::nullopt;
    return static_cast<unsigned>(value);
}

// Without a USB interface above it (uhid, Bluetooth), the interface number is
// the "inputN" that ends the physical path, as the USB HID driver writes it.
std::optional<unsigned> InterfaceFromPhys(const char* phys) {
    if (phys == nullptr) return std::nullopt;
    const char* input = std::strstr(phys, "/input");
    if (input == nullptr) return std::nullopt;
    input += std::strlen("/input");
    char* end = nullptr;
    const unsigned long value = std::strtoul(input, &end, 10);
    if (end == input) return std::nullopt;
    return static_cast<unsigned>(value);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::vector<Interface> DescribeHidraw(udev_device* hidraw) {
    std::vector<Interface> interfaces;
    const char* devnode = udev_device_get_devnode(hidraw);
    const char* sysname = udev_device_get_sysname(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (devnode == nullptr || sysname == nullptr || hid == nullptr) return interfaces;

    unsigned bus = 0, vendor = 0, product = 0;
    const char* hidId = udev_device_get_property_value(hid, "HID_ID");
    if (hidId == nullptr || std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) != 3) {
        return interfaces;
    }
    udev_device* usbInterface =
        udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_interface");
    udev_device* usbDevice =
        udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
    std::optional<unsigned> interfaceNumber = HexAttribute(usbInterface, "bInterfaceNumber");
    if (!interfaceNumber) {
        interfaceNumber = InterfaceFromPhys(udev_device_get_property_value(hid, "HID_PHYS"));
    }
    const uint16_t release =
        static_cast<uint16_t>(HexAttribute(usbDevice, "bcdDevice").value_or(0));

    const std::string syspath = udev_device_get_syspath(hid);
    auto collections = ParseHidReportDescriptor(ReadFile(syspath + "/report_descriptor"));
    if (collections.empty()) collections.emplace_back();

    for (size_t i = 0; i < collections.size(); ++i) {
        char fields[32] = "";
        int used = 0;
        if (interfaceNumber)
            used = std::snprintf(fields, sizeof fields, "&mi_%02x", *interfaceNumber & 0xFF);
        if (collections.size() > 1) {
            std::snprintf(fields + used, sizeof fields - used, "&col%02x",
                          static_cast<unsigned>(i + 1) & 0xFF);
        }
        char path[256];
        std::snprintf(path, sizeof path,
                      "\\\\?\\hid#vid_%04x&pid_%04x%s#%s#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                      vendor & 0xFFFF, product & 0xFFFF, fields, sysname);
        Interface& entry = interfaces.emplace_back();
        entry.path = path;
        entry.devnode = devnode;
        entry.attributes =
            HidAttributes{static_cast<uint16_t>(vendor), static_cast<uint16_t>(product), release};
        entry.caps = collections[i].caps;
    }
    return interfaces;
}

std::optional<std::string> NodeNameFromPath(const std::string& path) {
    const size_t last = path.rfind('#');
    if (last == std::string::npos || last == 0) return std::nullopt;
    const size_t before = path.rfind('#', last - 1);
    if (before == std::string::npos) return std::nullopt;
    const std::string node = path.substr(before + 1, last - before - 1);
    if (node.size() <= 6 || node.compare(0, 6, "hidraw") != 0) return std::nullopt;
    for (size_t i = 6; i < node.size(); ++i) {
        if (node[i] < '0' || node[i] > '9') return std::nullopt;
    }
    return node;
}

namespace {

// Output reports go through a thread of the connection, so that a device that
// stalls the write cannot hold the caller past its time-out; the thread owns
// its copy of the report, so the caller's buffer is free once Write returns.
class Writer {
public:
    explicit Writer(int fd) : fd_(fd) {}
    ~Writer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    HidWriteOutcome Write(const uint8_t* data, size_t length, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        // A write that is still stuck from before keeps the device busy.
        if (!done_.wait_until(lock, deadline, [&] { return !busy_; })) {
            return {HidWriteOutcome::Kind::kTimedOut, 0, kHidErrorIoPending};
        }
        job_.assign(data, data + length);
        busy_ = true;
        const uint64_t ticket = ++submitted_;
        wake_.notify_all();
        if (!done_.wait_until(lock, deadline, [&] { return finished_ >= ticket; })) {
            return {HidWriteOutcome::Kind::kTimedOut, 0, kHidErrorIoPending};
        }
        if (result_ < 0) return {HidWriteOutcome::Kind::kFailed, 0, static_cast<uint32_t>(error_)};
        return {HidWriteOutcome::Kind::kCompleted, static_cast<uint32_t>(result_), 0};
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || submitted_ > finished_; });
            if (submitted_ == finished_) return;  // stopping with nothing to do
            const std::vector<uint8_t> job = job_;
            lock.unlock();
            ssize_t written;
            do {
                written = ::write(fd_, job.data(), job.size());
            } while (written < 0 && errno == EINTR);
            const int error = errno;
            lock.lock();
            result_ = written;
            error_ = error;
            ++finished_;
            busy_ = false;
            done_.notify_all();
        }
    }

    int fd_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<uint8_t> job_;
    uint64_t submitted_ = 0, finished_ = 0;
    bool busy_ = false, stopping_ = false;
    ssize_t result_ = 0;
    int error_ = 0;
    std::thread thread_;
};

class HidrawConnection final : public IHidConnection {
public:
    HidrawConnection(int fd, Interface info) : fd_(fd), info_(std::move(info)) {}
    ~HidrawConnection() override {
        writer_.reset();  // the writer's thread ends before the descriptor goes
        ::close(fd_);
    }

    uint32_t HandleValue() const override { return static_cast<uint32_t>(fd_); }
    std::optional<HidAttributes> GetAttributes() override { return info_.attributes; }
    std::optional<HidCapabilities> GetCapabilities() override { return info_.caps; }

    bool SetFeature(const uint8_t* report, size_t length) override {
        std::vector<uint8_t> copy(report, report + length);
        int rc;
        do {
            rc = ioctl(fd_, HIDIOCSFEATURE(copy.size()), copy.data());
        } while (rc < 0 && errno == EINTR);
        return rc >= 0;
    }

    bool GetFeature(uint8_t* buffer, size_t length) override {
        int rc;
        do {
            rc = ioctl(fd_, HIDIOCGFEATURE(length), buffer);
        } while (rc < 0 && errno == EINTR);
        return rc >= 0;
    }

    HidWriteOutcome Write(const uint8_t* data, size_t length,
                          std::chrono::milliseconds timeout) override {
        return writer_->Write(data, length, timeout);
    }

private:
    int fd_;
    Interface info_;
    std::unique_ptr<Writer> writer_ = std::make_unique<Writer>(fd_);
};

class LinuxHidPlatform final : public IHidPlatform {
public:
    LinuxHidPlatform() : udev_(udev_new()) {}

    std::vector<HidEnumeratedInterface> EnumerateInterfaces() override {
        std::vector<HidEnumeratedInterface> result;
        for (Interface& i : Describe()) {
            HidEnumeratedInterface entry;
            entry.path = std::move(i.path);
            result.push_back(std::move(entry));
        }
        return result;
    }

    HidOpenResult Open(const std::string& path, uint32_t access, uint32_t share) override {
        (void)share;  // hidraw has no share modes
        auto info = Find(path);
        if (!info) return {nullptr, HidOpenError::kNotFound};
        const bool read = access & kHidAccessRead;
        const bool write = access & kHidAccessWrite;
        const int mode = read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
        const int fd = ::open(info->devnode.c_str(), mode | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == EACCES || error == EPERM) {
                HidLog(
                    "hidraw: no permission to open %s for the keyboard; install the udev rule "
                    "%s (in /etc/udev/rules.d) and plug the keyboard in again\n",
                    info->devnode.c_str(), kUdevRule);
                return {nullptr, HidOpenError::kPermissionDenied};
            }
            return {nullptr, error == ENOENT || error == ENODEV ? HidOpenError::kNotFound
                                                                : HidOpenError::kOther};
        }
        return {std::make_unique<HidrawConnection>(fd, std::move(*info)), HidOpenError::kNone};
    }

    std::optional<HidCapabilities> QueryCapabilities(const std::string& path) override {
        const auto info = Find(path);
        if (!info) return std::nullopt;
        return info->caps;
    }

    std::unique_ptr<IDeviceNoticeSource> WatchDeviceNotices(
        IDispatcher& dispatcher, DeviceNoticeCallback callback) override {
        return CreateLinuxDeviceNoticeSource(dispatcher, std::move(callback));
    }

private:
    std::vector<Interface> Describe() {
        std::vector<Interface> all;
        if (!udev_) return all;
        UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(udev_.get()));
        if (!enumerate) return all;
        udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
        udev_enumerate_scan_devices(enumerate.get());
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
            UdevPtr<udev_device> device(
                udev_device_new_from_syspath(udev_.get(), udev_list_entry_get_name(entry)));
            if (!device) continue;
            for (Interface& i : DescribeHidraw(device.get())) all.push_back(std::move(i));
        }
        return all;
    }

    std::optional<Interface> Find(const std::string& path) {
        const auto node = NodeNameFromPath(path);
        if (!node || !udev_) return std::nullopt;
        UdevPtr<udev_device> device(
            udev_device_new_from_subsystem_sysname(udev_.get(), "hidraw", node->c_str()));
        if (!device) return std::nullopt;
        for (Interface& i : DescribeHidraw(device.get())) {
            if (i.path == path) return std::move(i);
        }
        return std::nullopt;
    }

    UdevPtr<udev> udev_;
};

}  // namespace

}  // namespace linux_hid

std::unique_ptr<IHidPlatform> CreateSystemHidPlatform() {
    return std::make_unique<linux_hid::LinuxHidPlatform>();
}

}  // namespace keydeck
