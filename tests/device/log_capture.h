#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/hid_diagnostics.h"

namespace keydeck {

// Collects the HID log lines written during its lifetime.
class LogCapture {
public:
    LogCapture()
        : sink_([this](std::string_view line) {
              std::lock_guard lock(mutex_);
              lines_.emplace_back(line);
          }) {}

    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    ScopedHidLogSink sink_;
};

}  // namespace keydeck
