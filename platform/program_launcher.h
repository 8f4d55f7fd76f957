#pragma once

#include <memory>
#include <string>

namespace keydeck {

// Starts a program (or opens a document or address) without waiting for it.
class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // `path` and `arguments` are UTF-8; `arguments` is split into words as a
    // shell would. True when the start was handed to the system.
    virtual bool Open(const std::string& path, const std::string& arguments) = 0;
};

std::unique_ptr<IProgramLauncher> CreateProgramLauncher();

}  // namespace keydeck
