#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_temp_file.h"
#include "stores/key_assignment_store.h"
#include "tests/stores/pugixml_reference.h"

// Load the input, save it (checked against pugixml's own output), reload the saved file: it must
// read back to the same store and stay byte-identical through a second save.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace keydeck;
    const auto file = fuzz::WriteInput("record.xml", data, size);
    KeyAssignmentStore store;
    store.Load(file);
    // The own writer must give exactly what pugixml writes for the document.
    if (store.Serialize() != testing::ReferenceSerialize(store)) __builtin_trap();
    if (!store.Save()) __builtin_trap();
    const std::string saved = fuzz::ReadAll(file);
    KeyAssignmentStore again;
    const bool parsed = again.Load(file);
    // An empty store saves as the declaration alone, which the parser rejects.
    if (!parsed && store.records().empty()) return 0;
    if (!parsed || !(store.records() == again.records())) __builtin_trap();
    if (!again.Save() || fuzz::ReadAll(file) != saved) __builtin_trap();
    return 0;
}
