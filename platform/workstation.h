#pragma once

#include <memory>

namespace keydeck {

// The desktop session.
class IWorkstation {
public:
    virtual ~IWorkstation() = default;
    // Locks the session; true when the request was accepted.
    virtual bool Lock() = 0;
};

std::unique_ptr<IWorkstation> CreateWorkstation();

}  // namespace keydeck
