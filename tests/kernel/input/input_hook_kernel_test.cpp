// Types on a uinput keyboard through the Linux hook backend and reads what
// KeyDeck's output keyboard produces. Runs as root inside the test VM.
#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <unistd.h>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "input/key_assignment_actions.h"
#include "input/keyboard_hook.h"
#include "platform/dispatcher.h"
#include "platform/key_injector.h"
#include "platform/linux/evdev_key_table.h"
#include "platform/linux/evdev_keyboard_hook.h"
#include "platform/linux/launcher_linux.h"
#include "platform/linux/uinput_output.h"
#include "platform/sim/sim_input.h"
#include "stores/key_assignment_store.h"
#include "stores/key_names.h"
#include "stores/macro_store.h"
#include "tasks/task_thread.h"

using namespace keydeck;
using namespace std::chrono_literals;

namespace {

int failures = 0;
void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++failures;
}

struct KeyOut {
    int code;
    int value;
    double ms;
};

}  // namespace

// A process that dies of SIGTERM while its injected G is down releases it.
void CheckReleaseOnTerminate() {
    int toParent[2];
    int toChild[2];
    if (::pipe(toParent) != 0 || ::pipe(toChild) != 0) return Check(false, "pipes");
    const pid_t pid = ::fork();
    if (pid == 0) {
        auto injector = CreateKeyInjector();
        injector->SendKeyEvent(0x47, 0, 0, kInjectedEventMarker);
        const std::string node = GetUinputOutput()->DevNode() + "\n";
        [[maybe_unused]] auto n = ::write(toParent[1], node.data(), node.size());
        char go;
        n = ::read(toChild[0], &go, 1);
        std::raise(SIGTERM);
        _exit(3);
    }
    char buf[128] = {};
    std::size_t len = 0;
    while (len < sizeof buf - 1 && ::read(toParent[0], buf + len, 1) == 1 && buf[len] != '\n')
        ++len;
    buf[len] = 0;
    const int fd = ::open(buf, O_RDONLY | O_NONBLOCK);
    Check(fd >= 0, std::string("child's output device ") + buf);
    [[maybe_unused]] auto n = ::write(toChild[1], "g", 1);
    bool released = false;
    for (int i = 0; i < 200 && !released && fd >= 0; ++i) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 10);
        input_event ev;
        while (::read(fd, &ev, sizeof ev) == sizeof ev) {
            if (ev.type == EV_KEY && ev.code == KEY_G && ev.value == 0) released = true;
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    Check(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM, "child ended by SIGTERM");
    Check(released, "injected key released on SIGTERM");
    if (fd >= 0) ::close(fd);
}

void CheckShellWords() {
    const auto words = SplitShellWords(R"(a "b c" 'd "e"' f\ g "h\"i" )");
    Check(words && *words == std::vector<std::string>{"a", "b c", "d \"e\"", "f g", "h\"i"},
          "arguments split as a shell splits words");
    Check(!SplitShellWords("\"open"), "an open quote is refused");
    Check(SpawnDetached({"/bin/busybox", "true"}) && !SpawnDetached({"/no/such/program"}),
          "programs start detached; a missing one fails");
}

// Every named key, the media keys and the Windows keys have an evdev key that
// maps back to the same virtual-key code.
void CheckKeyTable() {
    std::string missing;
    std::vector<std::pair<std::uint32_t, bool>> keys;
    for (const auto& row : KeyNameTable)
        keys.push_back({row.vk & 0xFFu, (row.vk & kExtendedKeyFlag) != 0});
    for (std::uint32_t vk : {0xADu, 0xAEu, 0xAFu, 0xB0u, 0xB1u, 0xB2u, 0xB3u, 0x5Bu, 0x5Cu}) {
        keys.push_back({vk, true});
    }
    for (auto [vk, extended] : keys) {
        const auto code = WindowsKeyToEvdev(vk, extended);
        const auto back = code ? EvdevToWindowsKey(*code) : std::nullopt;
        if (!back || back->vk != vk) missing += std::to_string(vk) + " ";
    }
    Check(missing.empty(), "key table covers every key: missing " + missing);
    const auto enter = EvdevToWindowsKey(KEY_KPENTER);
    Check(enter && enter->vk == 0x0D && enter->extended &&
              WindowsKeyToEvdev(0x0D, false) == KEY_ENTER,
          "pad Enter is the extended Enter");
    Check(WindowsKeyToEvdev(0x25, false) == KEY_LEFT,
          "an arrow without the extended mark is the arrow");
}

int main() {
    CheckKeyTable();
    CheckShellWords();
    CheckReleaseOnTerminate();
    // The "physical" keyboard.
    libevdev* proto = libevdev_new();
    libevdev_set_name(proto, "test physical keyboard");
    libevdev_enable_event_type(proto, EV_KEY);
    for (int code = KEY_ESC; code <= KEY_KPDOT; ++code) {
        libevdev_enable_event_code(proto, EV_KEY, code, nullptr);
    }
    libevdev_uinput* physical = nullptr;
    if (libevdev_uinput_create_from_device(proto, LIBEVDEV_UINPUT_OPEN_MANAGED, &physical) != 0) {
        std::printf("FAIL: cannot create the physical keyboard\n");
        return 1;
    }
    libevdev_free(proto);
    std::this_thread::sleep_for(200ms);

    const std::string dir = "/tmp/keydeck-kernel";
    ::mkdir(dir.c_str(), 0700);
    // A -> B (Key), C -> macro D down, 60 ms, D up (Macro), E -> Ctrl+F (Function).
    std::ofstream(dir + "/record.xml")
        << "<?xml version=\"1.0\"?>\n"
        << "<record code=\"65\" type=\"1\" repeat=\"0\"><item code=\"66\" state=\"0\" "
           "delay=\"0\"/></record>\n"
        << "<record code=\"67\" type=\"0\" repeat=\"1\"><item code=\"68\" state=\"0\" "
           "delay=\"60\"/><item code=\"68\" state=\"1\" delay=\"0\"/></record>\n"
        << "<record code=\"69\" type=\"3\" repeat=\"0\">"
           "<item code=\"162\" state=\"1\" delay=\"11\"/><item code=\"70\" state=\"1\" "
           "delay=\"11\"/><item code=\"162\" state=\"0\" delay=\"10\"/><item code=\"70\" "
           "state=\"0\" delay=\"10\"/></record>\n";
    KeyAssignmentStore store;
    Check(store.Load(dir + "/record.xml") && store.records().size() == 3, "store loaded");
    AppSettings settings;
    MacroStore macros;

    QueueDispatcher dispatcher;
    KeyboardHook hook;
    if (!hook.Install(CreateEvdevKeyboardHook(dispatcher, {true, 300ms}))) {
        std::printf("FAIL: the hook did not install\n");
        return 1;
    }
    auto injector = CreateKeyInjector();
    SimProgramLauncher launcher;
    SimWorkstation workstation;
    TaskThread thread;
    KeyAssignmentActions actions{{*injector, launcher, workstation, [] { return true; }},
                                 thread.KeyStepLock(),
                                 {store, settings, macros}};
    Check(hook.AddListener(&actions), "listener added");
    thread.Start(&actions);
    thread.SetCallbacks([](void* a) { static_cast<KeyAssignmentActions*>(a)->PlayNextKeyStep(); },
                        nullptr, nullptr);

    const std::string outNode = GetUinputOutput()->DevNode();
    const int outFd = ::open(outNode.c_str(), O_RDONLY | O_NONBLOCK);
    Check(outFd >= 0, "output device " + outNode + " readable");

    auto type = [&](int code, int value) {
        libevdev_uinput_write_event(physical, EV_KEY, code, value);
        libevdev_uinput_write_event(physical, EV_SYN, SYN_REPORT, 0);
        dispatcher.RunFor(40ms);
    };
    for (auto [code, value] : std::vector<std::pair<int, int>>{
             {KEY_Z, 1}, {KEY_Z, 0}, {KEY_A, 1}, {KEY_A, 2}, {KEY_A, 0}, {KEY_C, 1}, {KEY_C, 0}}) {
        type(code, value);
    }
    dispatcher.RunFor(200ms);  // the macro plays on the task thread
    for (auto [code, value] :
         std::vector<std::pair<int, int>>{{KEY_E, 1}, {KEY_E, 0}, {KEY_X, 1}, {KEY_X, 0}}) {
        type(code, value);
    }
    dispatcher.RunFor(200ms);
    thread.Stop(true);

    std::vector<KeyOut> out;
    input_event ev;
    while (::read(outFd, &ev, sizeof ev) == sizeof ev) {
        if (ev.type == EV_KEY) {
            out.push_back(
                {ev.code, ev.value, ev.input_event_sec * 1000.0 + ev.input_event_usec / 1000.0});
        }
    }
    std::string got;
    for (const auto& k : out) got += std::to_string(k.code) + ":" + std::to_string(k.value) + " ";
    const std::vector<std::pair<int, int>> expected{
        {KEY_Z, 1}, {KEY_Z, 0}, {KEY_B, 1},        {KEY_B, 2}, {KEY_B, 0},
        {KEY_D, 1}, {KEY_D, 0}, {KEY_LEFTCTRL, 1}, {KEY_F, 1}, {KEY_LEFTCTRL, 0},
        {KEY_F, 0}, {KEY_X, 1}, {KEY_X, 0}};
    bool same = out.size() == expected.size();
    for (std::size_t i = 0; same && i < out.size(); ++i) {
        same = out[i].code == expected[i].first && out[i].value == expected[i].second;
    }
    Check(same, "output in order, assigned keys replaced, nothing re-processed: " + got);
    if (same) Check(out[6].ms - out[5].ms >= 59.0, "macro delay kept between D down and D up");

    // A UI thread that does not answer: the events pass on after the time-out,
    // and the late calls decide nothing.
    for (int value : {1, 0}) {
        libevdev_uinput_write_event(physical, EV_KEY, KEY_A, value);
        libevdev_uinput_write_event(physical, EV_SYN, SYN_REPORT, 0);
        std::this_thread::sleep_for(500ms);
    }
    dispatcher.RunFor(100ms);
    std::this_thread::sleep_for(100ms);
    std::string late;
    while (::read(outFd, &ev, sizeof ev) == sizeof ev) {
        if (ev.type == EV_KEY)
            late += std::to_string(ev.code) + ":" + std::to_string(ev.value) + " ";
    }
    Check(late == "30:1 30:0 ", "unanswered events pass through unchanged: " + late);

    // A press that passed undecided, then a UI thread that answers again: the
    // release must follow the press out, or the key would stay down.
    libevdev_uinput_write_event(physical, EV_KEY, KEY_A, 1);
    libevdev_uinput_write_event(physical, EV_SYN, SYN_REPORT, 0);
    std::this_thread::sleep_for(500ms);
    dispatcher.RunFor(100ms);
    libevdev_uinput_write_event(physical, EV_KEY, KEY_A, 0);
    libevdev_uinput_write_event(physical, EV_SYN, SYN_REPORT, 0);
    dispatcher.RunFor(300ms);
    std::string resumed;
    while (::read(outFd, &ev, sizeof ev) == sizeof ev) {
        if (ev.type == EV_KEY)
            resumed += std::to_string(ev.code) + ":" + std::to_string(ev.value) + " ";
    }
    Check(resumed == "30:1 30:0 ", "an undecided press keeps its release: " + resumed);

    unsigned char keys[KEY_MAX / 8 + 1] = {};
    ::ioctl(outFd, EVIOCGKEY(sizeof keys), keys);
    bool anyDown = false;
    for (unsigned char b : keys) anyDown |= b != 0;
    Check(!anyDown, "no key left down on the output device");

    hook.Shutdown();
    ::close(outFd);
    libevdev_uinput_destroy(physical);
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
