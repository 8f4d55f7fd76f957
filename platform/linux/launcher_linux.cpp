#include "platform/linux/launcher_linux.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/program_launcher.h"
#include "platform/workstation.h"

extern char** environ;

namespace keydeck {
namespace {

bool Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    const int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        std::fprintf(stderr, "keydeck: cannot start %s: %s\n", args[0], std::strerror(rc));
        return false;
    }
    return true;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    if (path.find('/') == std::string::npos) return false;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

class LinuxProgramLauncher final : public IProgramLauncher {
public:
    bool Open(const std::string& path, const std::string& arguments) override {
        if (path.empty()) return false;
        if (IsExecutableFile(path)) {
            auto words = SplitShellWords(arguments);
            if (!words) return false;
            std::vector<std::string> argv{path};
            argv.insert(argv.end(), words->begin(), words->end());
            return SpawnDetached(argv);
        }
        // A document, a folder or an address: the desktop's handler opens it.
        return SpawnDetached({"xdg-open", path});
    }
};

class LinuxWorkstation final : public IWorkstation {
public:
    bool Lock() override {
        return RunAndWait({"loginctl", "lock-session"}) || RunAndWait({"xdg-screensaver", "lock"});
    }
};

}  // namespace

std::optional<std::vector<std::string>> SplitShellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '\'') {
            const auto end = text.find('\'', i + 1);
            if (end == std::string_view::npos) return std::nullopt;
            word.append(text.substr(i + 1, end - i - 1));
            i = end;
            inWord = true;
        } else if (c == '"') {
            inWord = true;
            for (++i;; ++i) {
                if (i >= text.size()) return std::nullopt;
                if (text[i] == '"') break;
                if (text[i] == '\\' && i + 1 < text.size() &&
                    std::strchr("\\\"$`", text[i + 1]) != nullptr) {
                    ++i;
                }
                word.push_back(text[i]);
            }
        } else if (c == '\\') {
            inWord = true;
            if (i + 1 < text.size()) word.push_back(text[++i]);
        } else {
            inWord = true;
            word.push_back(c);
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

bool SpawnDetached(const std::vector<std::string>& argv) {
    pid_t pid = 0;
    if (!Spawn(argv, pid)) return false;
    // Nobody waits for the program; this only keeps it from staying a zombie.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool RunAndWait(const std::vector<std::string>& argv) {
    pid_t pid = 0;
    if (!Spawn(argv, pid)) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::unique_ptr<IProgramLauncher> CreateProgramLauncher() {
    return std::make_unique<LinuxProgramLauncher>();
}

std::unique_ptr<IWorkstation> CreateWorkstation() {
    return std::make_unique<LinuxWorkstation>();
}

}  // namespace keydeck
