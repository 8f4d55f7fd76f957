#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/single_instance.h"

namespace keydeck {
namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

constexpr std::string_view kShowRequest = "show\n";
constexpr std::string_view kShowAnswer = "ok\n";

// The per-user folder for the lock and the socket.
std::string RuntimeDir() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/') {
        return dir;
    }
    // No session folder (a bare ssh or CI shell): a private one in /tmp.
    std::string dir = "/tmp/keydeck-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

std::string SafeName(const std::string& name) {
    std::string safe;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        safe.push_back(plain ? c : '_');
    }
    return safe.empty() ? std::string("keydeck") : safe;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    int result = 0;
    do {
        result = ::poll(&entry, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    return result > 0 && (entry.revents & events) != 0;
}

class LinuxSingleInstance final : public SingleInstance {
public:
    explicit LinuxSingleInstance(const std::string& name) {
        const std::string base = RuntimeDir() + "/" + SafeName(name);
        socketPath_ = base + ".sock";
        lock_ = UniqueFd(::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        // The lock goes with the process, even when it crashes.
        first_ = lock_.valid() && ::flock(lock_.get(), LOCK_EX | LOCK_NB) == 0;
        if (first_) Listen();
    }

    ~LinuxSingleInstance() override {
        if (listener_.joinable()) {
            const uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(stop_.get(), &one, sizeof one);
            listener_.join();
        }
        if (server_.valid()) ::unlink(socketPath_.c_str());
    }

    bool IsFirst() const override { return first_; }

    bool BringFirstForward(std::chrono::milliseconds timeout) override {
        if (first_) return false;
        sockaddr_un address{};
        if (!FillAddress(socketPath_, address)) return false;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        // The first instance may hold the lock but not yet listen: retry.
        while (std::chrono::steady_clock::now() < deadline) {
            UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
            if (!socket.valid()) return false;
            if (::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) ==
                0) {
                if (::send(socket.get(), kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL) !=
                    static_cast<ssize_t>(kShowRequest.size())) {
                    return false;
                }
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                char answer[8] = {};
                if (!WaitFor(socket.get(), POLLIN,
                             static_cast<int>(std::max<int64_t>(0, left.count())))) {
                    return false;
                }
                const auto got = ::recv(socket.get(), answer, sizeof answer, 0);
                return got > 0 && std::string_view(answer, got) == kShowAnswer;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    void OnShowRequest(std::function<void()> onShow) override {
        std::lock_guard lock(mutex_);
        onShow_ = std::move(onShow);
    }

    void MarkWindow(std::uintptr_t /*nativeWindow*/) override {}
    void UnmarkWindow() override {}

private:
    void Listen() {
        sockaddr_un address{};
        if (!FillAddress(socketPath_, address)) return;
        server_ = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        stop_ = UniqueFd(::eventfd(0, EFD_CLOEXEC));
        if (!server_.valid() || !stop_.valid()) return;
        // We hold the lock, so a socket file left behind is a crashed instance's.
        ::unlink(socketPath_.c_str());
        if (::bind(server_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(server_.get(), 4) != 0) {
            server_.Reset();
            return;
        }
        listener_ = std::thread([this] { Serve(); });
    }

    void Serve() {
        for (;;) {
            pollfd entries[2] = {{server_.get(), POLLIN, 0}, {stop_.get(), POLLIN, 0}};
            if (::poll(entries, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (entries[1].revents != 0) return;
            if ((entries[0].revents & POLLIN) == 0) continue;
            UniqueFd client(::accept4(server_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.valid()) continue;
            char request[16] = {};
            // A client that says nothing does not hold up the listener.
            if (!WaitFor(client.get(), POLLIN, 1000)) continue;
            const auto got = ::recv(client.get(), request, sizeof request, 0);
            if (got <= 0 || std::string_view(request, got) != kShowRequest) continue;
            {
                std::lock_guard lock(mutex_);
                if (onShow_) onShow_();
            }
            ::send(client.get(), kShowAnswer.data(), kShowAnswer.size(), MSG_NOSIGNAL);
        }
    }

    std::string socketPath_;
    UniqueFd lock_;
    UniqueFd server_;
    UniqueFd stop_;
    bool first_ = false;
    std::mutex mutex_;
    std::function<void()> onShow_;
    std::thread listener_;
};

}  // namespace

std::unique_ptr<SingleInstance> ClaimSingleInstance(const std::string& name) {
    return std::make_unique<LinuxSingleInstance>(name);
}

}  // namespace keydeck
