// The hook listener's cost per event, and how closely the task thread keeps a
// macro's delays.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "app/app_settings.h"
#include "input/key_assignment_actions.h"
#include "platform/sim/sim_input.h"
#include "stores/key_assignment_store.h"
#include "stores/macro_store.h"
#include "tasks/task_thread.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using Clock = std::chrono::steady_clock;

void LoadRecords(KeyAssignmentStore& store, const TempDir& dir, const std::string& body) {
    const auto file = dir.path() / "record.xml";
    std::ofstream(file) << "<?xml version=\"1.0\"?>\n" << body;
    store.Load(file);
}

// 200 Key records; the pressed key's record is the last one.
void BM_OnHookEvent200Records(benchmark::State& state) {
    TempDir dir;
    std::string body;
    for (int i = 0; i < 199; ++i) {
        body += "<record code=\"" + std::to_string(0x1000 + i) +
                "\" type=\"1\"><item code=\"66\"/></record>\n";
    }
    body += "<record code=\"65\" type=\"1\"><item code=\"66\"/></record>\n";
    KeyAssignmentStore store;
    LoadRecords(store, dir, body);
    AppSettings settings;
    MacroStore macros;
    SimKeyInjector injector;
    SimProgramLauncher launcher;
    SimWorkstation workstation;
    std::recursive_mutex lock;
    KeyAssignmentActions actions{
        {injector, launcher, workstation, [] { return true; }}, lock, {store, settings, macros}};
    std::uint32_t messages[2] = {kWmKeyDown, kWmKeyUp};
    int n = 0;
    for (auto _ : state) {
        int code = 0;
        std::uint32_t message = messages[n++ & 1];
        KeyboardHookEvent event;
        event.vkCode = 0x41;
        benchmark::DoNotOptimize(actions.OnHookEvent(code, message, event));
        if ((n & 1023) == 0) {
            state.PauseTiming();
            injector.Clear();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_OnHookEvent200Records);

void BM_LinearScan200Ints(benchmark::State& state) {
    std::vector<int> codes(200);
    for (int i = 0; i < 200; ++i) codes[i] = 0x1000 + i;
    codes.back() = 65;
    for (auto _ : state) {
        int key = 65;
        benchmark::DoNotOptimize(key);
        benchmark::DoNotOptimize(std::find(codes.begin(), codes.end(), key));
    }
}
BENCHMARK(BM_LinearScan200Ints);

void ReportLateness(benchmark::State& state, std::vector<double> lateMs) {
    std::sort(lateMs.begin(), lateMs.end());
    state.counters["median_late_ms"] = lateMs[lateMs.size() / 2];
    state.counters["p99_late_ms"] = lateMs[lateMs.size() * 99 / 100];
}

// 100 steps with 5 ms delays; lateness = gap between sends minus 5 ms.
void BM_MacroPlayback100Steps(benchmark::State& state) {
    TempDir dir;
    std::string body = "<record code=\"65\" type=\"0\" repeat=\"1\">";
    for (int i = 0; i < 100; ++i) {
        body += "<item code=\"66\" state=\"" + std::to_string(i & 1) + "\" delay=\"5\"/>";
    }
    body += "</record>\n";
    KeyAssignmentStore store;
    LoadRecords(store, dir, body);
    AppSettings settings;
    MacroStore macros;
    std::vector<double> late;
    for (auto _ : state) {
        SimKeyInjector injector;
        SimProgramLauncher launcher;
        SimWorkstation workstation;
        TaskThread thread;
        KeyAssignmentActions actions{{injector, launcher, workstation, [] { return true; }},
                                     thread.KeyStepLock(),
                                     {store, settings, macros}};
        thread.Start(&actions);
        thread.SetCallbacks(
            [](void* a) { static_cast<KeyAssignmentActions*>(a)->PlayNextKeyStep(); }, nullptr,
            nullptr);
        int code = 0;
        std::uint32_t message = kWmKeyUp;
        KeyboardHookEvent event;
        event.vkCode = 0x41;
        actions.OnHookEvent(code, message, event);
        while (injector.sent().size() < 100)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        thread.Stop(true);
        const auto sent = injector.sent();
        for (std::size_t i = 1; i < sent.size(); ++i) {
            late.push_back(
                std::chrono::duration<double, std::milli>(sent[i].at - sent[i - 1].at).count() -
                5.0);
        }
    }
    ReportLateness(state, late);
}
BENCHMARK(BM_MacroPlayback100Steps)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_PlainSleepLoop100x5ms(benchmark::State& state) {
    std::vector<double> late;
    for (auto _ : state) {
        auto last = Clock::now();
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const auto now = Clock::now();
            late.push_back(std::chrono::duration<double, std::milli>(now - last).count() - 5.0);
            last = now;
        }
    }
    ReportLateness(state, late);
}
BENCHMARK(BM_PlainSleepLoop100x5ms)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keydeck
