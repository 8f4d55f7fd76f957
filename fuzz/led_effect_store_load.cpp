#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_temp_file.h"
#include "stores/led_effect_store.h"

// Load the input, save it, reload the saved file: it must read back to the same
// store and stay byte-identical through a second save.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace keydeck;
    const auto file = fuzz::WriteInput("ledeffect.xml", data, size);
    LedEffectStore store;
    store.Load(file);
    if (!store.Save()) __builtin_trap();
    const std::string saved = fuzz::ReadAll(file);
    LedEffectStore again;
    const bool parsed = again.Load(file);

    if (!parsed || !(store.entries() == again.entries() && store.sel == again.sel))
        __builtin_trap();
    if (!again.Save() || fuzz::ReadAll(file) != saved) __builtin_trap();
    return 0;
}
