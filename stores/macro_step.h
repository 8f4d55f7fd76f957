#pragma once

#include <cstdint>
#include <string>

namespace keydeck {

// One key event of a macro, a key record or a key-step queue.
struct MacroStep {
    int32_t code = 0;   // virtual-key code, or a media code in Media records
    int32_t state = 0;  // 0 key down, 1 key up
    int32_t delay = 0;  // milliseconds to wait after the step
    std::string name;   // display name of the key; empty when none

    friend bool operator==(const MacroStep&, const MacroStep&) = default;
};

}  // namespace keydeck
