#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/atomic_file.h"

namespace keydeck {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    // mkstemp makes 0600; a store is an ordinary user file.
    ::fchmod(fd, 0644);
    const bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(tmpl.c_str(), target.c_str()) != 0) {
        ::unlink(tmpl.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace keydeck
