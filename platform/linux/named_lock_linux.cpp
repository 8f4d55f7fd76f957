#include "platform/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace keydeck {

namespace {

// A lock file's flock excludes other processes; threads of this process queue
// on the entry first, so a name is taken at most once per process and the
// owning thread may nest.
struct LocalEntry {
    std::mutex mutex;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;
    int fd = -1;
};

struct LocalRegistry {
    std::mutex mutex;
    std::map<std::string, LocalEntry> entries;
};

LocalRegistry& Registry() {
    static LocalRegistry registry;
    return registry;
}

LocalEntry& EntryFor(const std::string& name) {
    LocalRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    return registry.entries[name];  // std::map keeps references stable
}

std::string LockDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = (runtime != nullptr && runtime[0] == '/')
                          ? std::string(runtime) + "/keydeck-locks"
                          : "/tmp/keydeck-locks-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    return dir;
}

std::string FileNameFor(const std::string& name) {
    std::string file;
    for (char c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                           (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == '_';
        file += plain ? c : '_';
    }
    return file + ".lock";
}

int LockFile(const std::string& name) {
    const std::string dir = LockDirectory();
    if (dir.empty()) return -1;
    const std::string path = dir + "/" + FileNameFor(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return -1;
        }
    }
    return fd;
}

}  // namespace

class NamedLock::Impl {
public:
    explicit Impl(const std::string& name) : entry_(EntryFor(name)) {
        std::unique_lock lock(entry_.mutex);
        const auto self = std::this_thread::get_id();
        entry_.released.wait(lock, [&] { return entry_.depth == 0 || entry_.owner == self; });
        if (entry_.depth == 0) {
            entry_.owner = self;
            entry_.fd = LockFile(name);
        }
        ++entry_.depth;
        held_ = entry_.fd >= 0;
    }

    ~Impl() {
        std::lock_guard lock(entry_.mutex);
        if (--entry_.depth == 0) {
            if (entry_.fd >= 0) {
                flock(entry_.fd, LOCK_UN);
                close(entry_.fd);
                entry_.fd = -1;
            }
            entry_.owner = {};
            entry_.released.notify_all();
        }
    }

    bool held() const { return held_; }

private:
    LocalEntry& entry_;
    bool held_ = false;
};

NamedLock::NamedLock(const std::string& name) : impl_(std::make_unique<Impl>(name)) {}
NamedLock::~NamedLock() = default;
bool NamedLock::Held() const {
    return impl_->held();
}

}  // namespace keydeck
