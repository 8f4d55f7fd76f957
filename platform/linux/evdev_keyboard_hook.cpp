#include "platform/linux/evdev_keyboard_hook.h"

#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatcher.h"
#include "platform/key_injector.h"
#include "platform/linux/evdev_key_table.h"
#include "platform/linux/uinput_output.h"

namespace keydeck {
namespace {

constexpr const char* kInputDir = "/dev/input";

struct Device {
    int fd = -1;
    libevdev* dev = nullptr;
    bool grabbed = false;
    std::string path;
};

bool IsVirtualDevice(const std::string& node) {
    // /sys/class/input/eventN resolves into the device's place in sysfs.
    const std::string name = node.substr(node.rfind('/') + 1);
    char resolved[PATH_MAX];
    const std::string link = "/sys/class/input/" + name;
    if (!::realpath(link.c_str(), resolved)) return false;
    return std::strncmp(resolved, "/sys/devices/virtual/input/", 27) == 0;
}

bool IsKeyboard(libevdev* dev) {
    if (!libevdev_has_event_type(dev, EV_KEY)) return false;
    if (libevdev_has_event_code(dev, EV_KEY, BTN_LEFT) ||
        libevdev_has_event_code(dev, EV_KEY, BTN_TOUCH) || libevdev_has_event_type(dev, EV_REL) ||
        libevdev_has_event_type(dev, EV_ABS)) {
        return false;
    }
    return libevdev_has_event_code(dev, EV_KEY, KEY_A) ||
           libevdev_has_event_code(dev, EV_KEY, KEY_VOLUMEUP) ||
           libevdev_has_event_code(dev, EV_KEY, KEY_ENTER);
}

bool AnyKeyDown(int fd) {
    unsigned char keys[KEY_MAX / 8 + 1] = {};
    if (::ioctl(fd, EVIOCGKEY(sizeof keys), keys) < 0) return false;
    for (unsigned char b : keys) {
        if (b) return true;
    }
    return false;
}

class EvdevKeyboardHook final : public ISystemKeyboardHook {
public:
    EvdevKeyboardHook(IDispatcher& dispatcher, EvdevHookOptions options)
        : dispatcher_(dispatcher), options_(options) {}
    ~EvdevKeyboardHook() override {
        if (reader_.joinable()) {
            stop_ = true;
            [[maybe_unused]] const auto n = ::write(wakeWrite_, "x", 1);
            reader_.join();
        }
        for (auto& [fd, d] : devices_) Close(d);
        for (int fd : {inotify_, wakeRead_, wakeWrite_}) {
            if (fd >= 0) ::close(fd);
        }
    }

    bool Install(KeyboardHookSink sink) override {
        if (installed_) return true;
        output_ = GetUinputOutput();
        std::string error;
        if (!output_->Open(error)) {
            std::fprintf(stderr, "keydeck: keyboard hook not installed: cannot open %s\n",
                         error.c_str());
            return false;
        }
        ownNode_ = output_->DevNode();
        DIR* dir = ::opendir(kInputDir);
        if (!dir) {
            std::fprintf(stderr, "keydeck: keyboard hook not installed: cannot open %s: %s\n",
                         kInputDir, std::strerror(errno));
            return false;
        }
        std::vector<std::string> nodes;
        while (dirent* e = ::readdir(dir)) {
            if (std::strncmp(e->d_name, "event", 5) == 0) nodes.push_back(e->d_name);
        }
        ::closedir(dir);
        std::string firstError;
        for (const auto& n : nodes) TryAdd(std::string(kInputDir) + "/" + n, &firstError);
        if (devices_.empty() && !firstError.empty()) {
            std::fprintf(stderr, "keydeck: keyboard hook not installed: cannot open %s\n",
                         firstError.c_str());
            return false;
        }
        inotify_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (inotify_ >= 0) ::inotify_add_watch(inotify_, kInputDir, IN_CREATE | IN_ATTRIB);
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        wakeRead_ = pipeFds[0];
        wakeWrite_ = pipeFds[1];
        sink_ = std::move(sink);
        installed_ = true;
        reader_ = std::thread([this] { Run(); });
        return true;
    }
    bool IsInstalled() const override { return installed_; }

private:
    // Verdict handed between the reader and the UI thread.
    struct Verdict {
        std::atomic<int> state{0};  // 0 waiting, 1 taken by the UI thread, 2 given up
        std::atomic<bool> done{false};
        bool swallow = false;
        int hookCode = 0;
        std::uint32_t message = 0;
        KeyboardHookEvent event;
    };

    void TryAdd(const std::string& path, std::string* firstError) {
        for (const auto& [fd, d] : devices_) {
            if (d.path == path) return;
        }
        if (path == ownNode_) return;
        if (!options_.includeVirtualDevices && IsVirtualDevice(path)) return;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (firstError && firstError->empty()) *firstError = path + ": " + std::strerror(errno);
            return;
        }
        libevdev* dev = nullptr;
        if (libevdev_new_from_fd(fd, &dev) != 0 || !IsKeyboard(dev)) {
            if (dev) libevdev_free(dev);
            ::close(fd);
            return;
        }
        Device d{fd, dev, false, path};
        TryGrab(d);
        devices_[fd] = d;
    }

    static void TryGrab(Device& d) {
        // A key held during the grab would never see its release elsewhere.
        if (d.grabbed || AnyKeyDown(d.fd)) return;
        d.grabbed = libevdev_grab(d.dev, LIBEVDEV_GRAB) == 0;
    }

    static void Close(Device& d) {
        if (d.dev) libevdev_free(d.dev);
        if (d.fd >= 0) ::close(d.fd);
        d.dev = nullptr;
        d.fd = -1;
    }

    void Run() {
        while (!stop_) {
            std::vector<pollfd> fds;
            fds.push_back({wakeRead_, POLLIN, 0});
            if (inotify_ >= 0) fds.push_back({inotify_, POLLIN, 0});
            bool waitingForGrab = false;
            for (auto& [fd, d] : devices_) {
                fds.push_back({fd, POLLIN, 0});
                waitingForGrab |= !d.grabbed;
            }
            if (::poll(fds.data(), fds.size(), waitingForGrab ? 20 : -1) < 0 && errno != EINTR) {
                break;
            }
            if (stop_) break;
            if (inotify_ >= 0) ScanNewNodes();
            std::vector<int> gone;
            for (auto& [fd, d] : devices_) {
                if (!d.grabbed) {
                    TryGrab(d);
                    if (!d.grabbed) {
                        Drain(d);
                        continue;
                    }
                }
                if (!ReadEvents(d)) gone.push_back(fd);
            }
            for (int fd : gone) {
                Close(devices_[fd]);
                devices_.erase(fd);
            }
        }
    }

    void ScanNewNodes() {
        char buf[4096];
        bool any = false;
        while (::read(inotify_, buf, sizeof buf) > 0) any = true;
        if (!any) return;
        DIR* dir = ::opendir(kInputDir);
        if (!dir) return;
        while (dirent* e = ::readdir(dir)) {
            if (std::strncmp(e->d_name, "event", 5) == 0) {
                TryAdd(std::string(kInputDir) + "/" + e->d_name, nullptr);
            }
        }
        ::closedir(dir);
    }

    static void Drain(Device& d) {
        input_event ev;
        while (libevdev_next_event(d.dev, LIBEVDEV_READ_FLAG_NORMAL, &ev) ==
               LIBEVDEV_READ_STATUS_SUCCESS) {
        }
    }

    // False when the device went away.
    bool ReadEvents(Device& d) {
        for (;;) {
            input_event ev;
            int rc = libevdev_next_event(d.dev, LIBEVDEV_READ_FLAG_NORMAL, &ev);
            if (rc == LIBEVDEV_READ_STATUS_SYNC) {
                while (rc == LIBEVDEV_READ_STATUS_SYNC) {
                    rc = libevdev_next_event(d.dev, LIBEVDEV_READ_FLAG_SYNC, &ev);
                }
                continue;
            }
            if (rc == -EAGAIN) return true;
            if (rc != LIBEVDEV_READ_STATUS_SUCCESS) return false;
            if (ev.type == EV_KEY) HandleKey(ev);
        }
    }

    std::uint32_t MessageFor(std::uint32_t vk, bool down) const {
        const bool alt = altDown_ > 0;
        const bool ctrl = ctrlDown_ > 0;
        if ((alt && !ctrl) || vk == 0x79) return down ? kWmSysKeyDown : kWmSysKeyUp;
        return down ? kWmKeyDown : kWmKeyUp;
    }

    void HandleKey(const input_event& ev) {
        const auto key = EvdevToWindowsKey(ev.code);
        if (!key) {
            output_->WriteKey(ev.code, ev.value, false);
            return;
        }
        const bool down = ev.value != 0;
        const bool isAlt = key->vk == 0xA4 || key->vk == 0xA5;
        const bool isCtrl = key->vk == 0xA2 || key->vk == 0xA3;
        // The releasing Alt still counts: Windows reports its release as a system key.
        if (ev.value == 1 && isAlt) ++altDown_;
        if (ev.value == 1 && isCtrl) ++ctrlDown_;
        auto verdict = std::make_shared<Verdict>();
        verdict->message = MessageFor(key->vk, down);
        verdict->event.vkCode = key->vk;
        verdict->event.scanCode = key->scanCode;
        verdict->event.flags = (key->extended ? kLlkhfExtended : 0) | (down ? 0 : kLlkhfUp) |
                               (altDown_ > 0 ? kLlkhfAltDown : 0);
        verdict->event.time =
            static_cast<std::uint32_t>(ev.input_event_sec * 1000 + ev.input_event_usec / 1000);
        if (ev.value == 0 && isAlt && altDown_ > 0) --altDown_;
        if (ev.value == 0 && isCtrl && ctrlDown_ > 0) --ctrlDown_;
        // A press that went out undecided must keep its repeats and its release:
        // a later verdict swallowing the release would leave the key stuck down.
        if (passedUndecided_.count(ev.code) != 0) {
            if (ev.value == 0) passedUndecided_.erase(ev.code);
            output_->WriteKey(ev.code, ev.value, false);
            return;
        }

        KeyboardHookSink* sink = &sink_;
        dispatcher_.CallAndWait(
            [verdict, sink] {
                int expected = 0;
                if (!verdict->state.compare_exchange_strong(expected, 1)) return;
                verdict->swallow = (*sink)(verdict->hookCode, verdict->message, verdict->event);
                verdict->done = true;
            },
            options_.verdictTimeout);
        int expected = 0;
        if (verdict->state.compare_exchange_strong(expected, 2)) {
            if (!timeoutLogged_) {
                std::fprintf(stderr,
                             "keydeck: the UI thread gave no verdict on a key event in time; "
                             "passing it on\n");
                timeoutLogged_ = true;
            }
            if (ev.value == 1) passedUndecided_.insert(ev.code);
            output_->WriteKey(ev.code, ev.value, false);
            return;
        }
        // The UI thread has the event in hand: its verdict comes in a moment.
        while (!verdict->done) std::this_thread::yield();
        if (verdict->swallow) return;
        std::uint16_t code = ev.code;
        if (verdict->event.vkCode != key->vk) {
            const auto mapped = WindowsKeyToEvdev(verdict->event.vkCode,
                                                  (verdict->event.flags & kLlkhfExtended) != 0);
            if (mapped) code = *mapped;
        }
        output_->WriteKey(code, ev.value, false);
    }

    IDispatcher& dispatcher_;
    EvdevHookOptions options_;
    std::shared_ptr<UinputOutput> output_;
    std::string ownNode_;
    KeyboardHookSink sink_;
    bool installed_ = false;
    std::map<int, Device> devices_;  // reader thread only once it runs
    int inotify_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> stop_{false};
    std::thread reader_;
    int altDown_ = 0;
    int ctrlDown_ = 0;
    bool timeoutLogged_ = false;
    std::set<std::uint16_t> passedUndecided_;  // reader thread only
};

}  // namespace

std::unique_ptr<ISystemKeyboardHook> CreateEvdevKeyboardHook(IDispatcher& dispatcher,
                                                             EvdevHookOptions options) {
    return std::make_unique<EvdevKeyboardHook>(dispatcher, options);
}

std::unique_ptr<ISystemKeyboardHook> CreateSystemKeyboardHook(IDispatcher& dispatcher) {
    return CreateEvdevKeyboardHook(dispatcher, {});
}

}  // namespace keydeck
