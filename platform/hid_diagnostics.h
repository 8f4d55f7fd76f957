#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace keydeck {

// The device code's fixed diagnostic lines, printf-style, to standard output.
void HidLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces standard output as the destination of HidLog for its lifetime;
// used by tests to read the lines. Not nestable across threads.
class ScopedHidLogSink {
public:
    explicit ScopedHidLogSink(std::function<void(std::string_view)> sink);
    ~ScopedHidLogSink();
    ScopedHidLogSink(const ScopedHidLogSink&) = delete;
    ScopedHidLogSink& operator=(const ScopedHidLogSink&) = delete;

private:
    std::function<void(std::string_view)> previous_;
};

}  // namespace keydeck
