#include "platform/hid_diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

namespace keydeck {

namespace {

struct LogState {
    std::mutex mutex;
    std::function<void(std::string_view)> sink;
};

LogState& State() {
    static LogState state;
    return state;
}

}  // namespace

void HidLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);

    LogState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.sink) {
        state.sink(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

ScopedHidLogSink::ScopedHidLogSink(std::function<void(std::string_view)> sink) {
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    previous_ = std::exchange(state.sink, std::move(sink));
}

ScopedHidLogSink::~ScopedHidLogSink() {
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    state.sink = std::move(previous_);
}

}  // namespace keydeck
