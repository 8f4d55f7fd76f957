#include <cstddef>
#include <cstdint>

#include "app/app_settings.h"
#include "fuzz/fuzz_temp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace keydeck;
    const auto file = fuzz::WriteInput("config.xml", data, size);
    AppSettings settings;
    settings.LoadFrom(file);
    for (const auto& f : settings.funKeys) {
        if (f.name.empty()) __builtin_trap();
    }
    return 0;
}
