#include "platform/linux/uinput_output.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include "platform/key_injector.h"
#include "platform/linux/evdev_key_table.h"

namespace keydeck {
namespace {

constexpr int kKeyCount = KEY_MAX + 1;
// Read by the signal handler, so plain atomics: the output fd and the injected
// keys that are down.
std::atomic<int> gOutputFd{-1};
std::array<std::atomic<bool>, kKeyCount> gInjectedDown{};

void WriteRaw(int fd, std::uint16_t type, std::uint16_t code, int value) {
    input_event ev{};
    ev.type = type;
    ev.code = code;
    ev.value = value;
    [[maybe_unused]] const auto n = ::write(fd, &ev, sizeof ev);
}

void ReleaseInjectedKeys(int fd) {
    if (fd < 0) return;
    for (int code = 0; code < kKeyCount; ++code) {
        if (gInjectedDown[code].exchange(false)) {
            WriteRaw(fd, EV_KEY, static_cast<std::uint16_t>(code), 0);
            WriteRaw(fd, EV_SYN, SYN_REPORT, 0);
        }
    }
}

void OnTerminate(int signo) {
    ReleaseInjectedKeys(gOutputFd.load());
    // Readers of the device get a moment to see the releases before it goes.
    const timespec grace{0, 20'000'000};
    nanosleep(&grace, nullptr);
    std::signal(signo, SIG_DFL);
    std::raise(signo);
}

}  // namespace

UinputOutput::~UinputOutput() {
    std::lock_guard lock(mutex_);
    if (!device_) return;
    ReleaseInjectedKeys(libevdev_uinput_get_fd(device_));
    gOutputFd = -1;
    libevdev_uinput_destroy(device_);
    device_ = nullptr;
}

bool UinputOutput::Open(std::string& error) {
    std::lock_guard lock(mutex_);
    if (device_) return true;
    const int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("/dev/uinput: ") + std::strerror(errno);
        return false;
    }
    libevdev* dev = libevdev_new();
    libevdev_set_name(dev, "KeyDeck virtual keyboard");
    libevdev_enable_event_type(dev, EV_KEY);
    for (unsigned code = KEY_ESC; code <= KEY_MICMUTE; ++code) {
        libevdev_enable_event_code(dev, EV_KEY, code, nullptr);
    }
    std::size_t count = 0;
    const std::uint16_t* codes = EvdevTableCodes(count);
    for (std::size_t i = 0; i < count; ++i)
        libevdev_enable_event_code(dev, EV_KEY, codes[i], nullptr);
    const int rc = libevdev_uinput_create_from_device(dev, fd, &device_);
    libevdev_free(dev);
    if (rc != 0) {
        ::close(fd);
        device_ = nullptr;
        error = std::string("/dev/uinput: ") + std::strerror(-rc);
        return false;
    }
    gOutputFd = libevdev_uinput_get_fd(device_);
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    for (int signo : {SIGTERM, SIGINT}) {
        struct sigaction old {};
        sigaction(signo, nullptr, &old);
        // Leave a handler that someone else installed alone.
        if (old.sa_handler == SIG_DFL) sigaction(signo, &sa, nullptr);
    }
    return true;
}

void UinputOutput::WriteKey(std::uint16_t code, int value, bool injected) {
    std::lock_guard lock(mutex_);
    if (!device_ || code >= kKeyCount) return;
    // The kernel drops a press of a key that is down; a repeat it passes on.
    if (value == 1 && down_[code]) value = 2;
    down_[code] = value != 0;
    libevdev_uinput_write_event(device_, EV_KEY, code, value);
    libevdev_uinput_write_event(device_, EV_SYN, SYN_REPORT, 0);
    if (injected) gInjectedDown[code] = value != 0;
}

std::string UinputOutput::DevNode() const {
    std::lock_guard lock(mutex_);
    const char* node = device_ ? libevdev_uinput_get_devnode(device_) : nullptr;
    return node ? node : "";
}

std::shared_ptr<UinputOutput> GetUinputOutput() {
    static const auto output = std::make_shared<UinputOutput>();
    return output;
}

namespace {

class UinputKeyInjector final : public IKeyInjector {
public:
    std::uint32_t VirtualKeyToScanCode(std::uint32_t vk) override {
        const auto code = WindowsKeyToEvdev(vk & 0xFF, false);
        if (!code) return 0;
        const auto key = EvdevToWindowsKey(*code);
        return key ? key->scanCode : 0;
    }
    void SendKeyEvent(std::uint8_t vk, std::uint8_t, std::uint32_t flags, std::uintptr_t) override {
        auto output = GetUinputOutput();
        if (!output->IsOpen()) {
            std::string error;
            if (!output->Open(error)) return;
        }
        const auto code = WindowsKeyToEvdev(vk, (flags & kKeyEventFExtendedKey) != 0);
        if (!code) return;
        output->WriteKey(*code, (flags & kKeyEventFKeyUp) ? 0 : 1, true);
    }
};

}  // namespace

std::unique_ptr<IKeyInjector> CreateKeyInjector() {
    return std::make_unique<UinputKeyInjector>();
}

}  // namespace keydeck
