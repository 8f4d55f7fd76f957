#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "stores/macro_store.h"
#include "stores/xml_file.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

// A library of 100 macros of 100 steps, written once per run.
class MacroFile {
public:
    MacroFile() {
        MacroStore store;
        store.Load(file());
        for (int g = 0; g < 100; ++g) {
            store.AddGroup();
            MacroGroup* group = store.GetGroup(g);
            for (int s = 0; s < 100; ++s) {
                group->AppendStep(0x41 + s % 26, s % 2, 10 + s, std::string(1, char('A' + s % 26)));
            }
        }
        store.Save();
    }
    std::filesystem::path file() const { return dir_.path() / "macro.xml"; }

private:
    TempDir dir_;
};

const MacroFile& Fixture() {
    static const MacroFile f;
    return f;
}

void BM_BareParse(benchmark::State& state) {
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(
            doc.load_file(Fixture().file().c_str(), pugi::parse_default, pugi::encoding_utf8));
    }
}
BENCHMARK(BM_BareParse);

void BM_StoreLoad(benchmark::State& state) {
    for (auto _ : state) {
        MacroStore store;
        benchmark::DoNotOptimize(store.Load(Fixture().file()));
    }
}
BENCHMARK(BM_StoreLoad);

void BM_BareSaveToString(benchmark::State& state) {
    pugi::xml_document doc;
    doc.load_file(Fixture().file().c_str(), pugi::parse_default, pugi::encoding_utf8);
    for (auto _ : state) benchmark::DoNotOptimize(SerializeStoreDocument(doc));
}
BENCHMARK(BM_BareSaveToString);

void BM_StoreSaveToString(benchmark::State& state) {
    MacroStore store;
    store.Load(Fixture().file());
    for (auto _ : state) benchmark::DoNotOptimize(store.Serialize());
}
BENCHMARK(BM_StoreSaveToString);

// The flush and rename alone, for bytes already serialised.
void BM_AtomicWrite(benchmark::State& state) {
    TempDir dir;
    MacroStore store;
    store.Load(Fixture().file());
    const std::string bytes = store.Serialize();
    for (auto _ : state) benchmark::DoNotOptimize(WriteFileAtomically(dir.path() / "m.xml", bytes));
}
BENCHMARK(BM_AtomicWrite)->Unit(benchmark::kMillisecond);

void BM_StoreSave(benchmark::State& state) {
    TempDir dir;
    std::filesystem::copy_file(Fixture().file(), dir.path() / "macro.xml");
    MacroStore store;
    store.Load(dir.path() / "macro.xml");
    for (auto _ : state) benchmark::DoNotOptimize(store.Save());
}
BENCHMARK(BM_StoreSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keydeck
