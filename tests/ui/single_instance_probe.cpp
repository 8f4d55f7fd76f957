// Claims an instance name like the program does. The first prints "first" and
// waits until asked to show (prints "shown") or until its time runs out; a
// later one prints "second", asks the first, and ends with 0 when it answered.
//   single_instance_probe <name> <seconds>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/single_instance.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    auto instance = keydeck::ClaimSingleInstance(argv[1]);
    if (!instance->IsFirst()) {
        std::printf("second\n");
        std::fflush(stdout);
        return instance->BringFirstForward(std::chrono::seconds(5)) ? 0 : 3;
    }
    std::mutex mutex;
    std::condition_variable asked;
    bool shown = false;
    instance->OnShowRequest([&] {
        std::lock_guard lock(mutex);
        shown = true;
        asked.notify_all();
    });
    std::printf("first\n");
    std::fflush(stdout);
    std::unique_lock lock(mutex);
    asked.wait_for(lock, std::chrono::seconds(std::atoi(argv[2])), [&] { return shown; });
    std::printf(shown ? "shown\n" : "timeout\n");
    return 0;
}
