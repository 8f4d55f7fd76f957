#pragma once

#include <memory>
#include <string>

namespace keydeck {

// A lock known by name to every thread and process of the user. Constructing
// it waits without a time-out until the calling thread holds the lock;
// destroying it releases. Recursive: a thread that holds a name may take it
// again. Different names never exclude each other.
class NamedLock {
public:
    explicit NamedLock(const std::string& name);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // False when the system refused the lock; the caller then runs unguarded.
    bool Held() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace keydeck
