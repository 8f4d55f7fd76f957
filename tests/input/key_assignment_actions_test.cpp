#include "input/key_assignment_actions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "platform/sim/sim_input.h"
#include "stores/key_assignment_store.h"
#include "stores/macro_store.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using Sent = SimKeyInjector::Sent;

Sent Down(std::uint8_t vk, std::uint8_t scan = 0, std::uint32_t extra = 0) {
    return {vk, scan, extra, kInjectedEventMarker, {}};
}
Sent Up(std::uint8_t vk, std::uint8_t scan = 0, std::uint32_t extra = 0) {
    return {vk, scan, kKeyEventFKeyUp | extra, kInjectedEventMarker, {}};
}

class EditorStub final : public IKeyboardHookListener {
public:
    bool OnHookEvent(int&, std::uint32_t&, KeyboardHookEvent&) override {
        ++calls;
        return true;
    }
    int calls = 0;
};

// Records of one store file: (code, type, repeat, items "code:state:delay ...").
class KeyAssignmentActionsTest : public ::testing::Test {
protected:
    KeyAssignmentActionsTest() {
        FunKeyEntry notepad;
        notepad.code = 10001;
        notepad.path = "notepad.exe";
        settings_.funKeys.push_back(notepad);
    }

    void Load(const std::string& records) {
        const auto file = dir_.path() / "record.xml";
        std::ofstream(file) << "<?xml version=\"1.0\"?>\n" << records;
        ASSERT_TRUE(store_.Load(file));
    }

    bool Event(std::uint32_t message, std::uint32_t vk, std::uint32_t flags = 0,
               std::uint32_t scan = 0, std::uintptr_t extra = 0) {
        KeyboardHookEvent event;
        event.vkCode = vk;
        event.flags = flags;
        event.scanCode = scan;
        event.extraInfo = extra;
        int code = 0;
        return actions_.OnHookEvent(code, message, event);
    }
    std::vector<std::int32_t> QueuedCodes(bool withState = true) {
        std::vector<std::int32_t> out;
        for (const auto& s : actions_.QueuedSteps())
            out.push_back(withState ? s.code * 10 + s.state : s.code);
        return out;
    }

    TempDir dir_;
    KeyAssignmentStore store_;
    AppSettings settings_;
    MacroStore macros_;
    SimKeyInjector injector_{{{0x42, 0x30}, {0x10, 0x2A}, {0x11, 0x1D}}};
    SimProgramLauncher launcher_;
    SimWorkstation workstation_;
    bool connected_ = true;
    std::recursive_mutex lock_;
    KeyAssignmentActions actions_{{injector_, launcher_, workstation_,
                                   [this] { return connected_; }, [](std::chrono::milliseconds) {}},
                                  lock_,
                                  {store_, settings_, macros_}};
};

constexpr const char* kMacroA =
    "<record code=\"65\" type=\"0\" repeat=\"2\" name=\"A\" group=\"m\">"
    "<item code=\"66\" state=\"0\" delay=\"120\"/><item code=\"66\" state=\"1\" delay=\"0\"/>"
    "</record>\n";
constexpr const char* kKeyAtoB =
    "<record code=\"65\" type=\"1\" repeat=\"0\"><item code=\"66\" state=\"0\" "
    "delay=\"0\"/></record>\n";
constexpr const char* kVolumeUpOnA =
    "<record code=\"65\" type=\"2\" repeat=\"0\"><item code=\"175\" state=\"0\" "
    "delay=\"0\"/></record>\n";
constexpr const char* kNotepadOnA =
    "<record code=\"65\" type=\"2\" repeat=\"0\"><item code=\"10001\" state=\"0\" "
    "delay=\"0\"/></record>\n";
constexpr const char* kCopyOnA =
    "<record code=\"65\" type=\"3\" repeat=\"0\">"
    "<item code=\"17\" state=\"1\" delay=\"11\"/><item code=\"67\" state=\"1\" delay=\"11\"/>"
    "<item code=\"17\" state=\"0\" delay=\"10\"/><item code=\"67\" state=\"0\" delay=\"10\"/>"
    "</record>\n";

struct Row {
    const char* name;
    const char* records;
    std::uint32_t message;
    std::vector<Sent> sent;
    std::vector<std::int32_t> queued;  // code * 10 + state
    int started;
};

class AssignmentTable : public KeyAssignmentActionsTest,
                        public ::testing::WithParamInterface<Row> {};

TEST_P(AssignmentTable, SwallowsAndActsByTypeAndMessage) {
    const Row& row = GetParam();
    Load(row.records);
    EXPECT_TRUE(Event(row.message, 0x41));
    EXPECT_EQ(injector_.sent(), row.sent);
    EXPECT_EQ(QueuedCodes(), row.queued);
    EXPECT_EQ(static_cast<int>(launcher_.started().size()), row.started);
}

INSTANTIATE_TEST_SUITE_P(
    Types, AssignmentTable,
    ::testing::Values(Row{"MacroDown", kMacroA, kWmKeyDown, {}, {}, 0},
                      Row{"MacroSysDown", kMacroA, kWmSysKeyDown, {}, {}, 0},
                      Row{"MacroUp", kMacroA, kWmKeyUp, {}, {660, 661, 660, 661}, 0},
                      Row{"MacroSysUp", kMacroA, kWmSysKeyUp, {}, {}, 0},
                      Row{"KeyDown", kKeyAtoB, kWmKeyDown, {Down(0x42, 0x30)}, {}, 0},
                      Row{"KeySysDown", kKeyAtoB, kWmSysKeyDown, {Down(0x42, 0x30)}, {}, 0},
                      Row{"KeyUp", kKeyAtoB, kWmKeyUp, {Up(0x42, 0x30)}, {}, 0},
                      Row{"KeySysUp", kKeyAtoB, kWmSysKeyUp, {Up(0x42, 0x30)}, {}, 0},
                      Row{"MediaDown", kVolumeUpOnA, kWmKeyDown, {Down(0xAF)}, {}, 0},
                      Row{"MediaUp", kVolumeUpOnA, kWmKeyUp, {Up(0xAF)}, {}, 0},
                      Row{"MediaSysUp", kVolumeUpOnA, kWmSysKeyUp, {Up(0xAF)}, {}, 0},
                      Row{"LauncherDown", kNotepadOnA, kWmKeyDown, {}, {}, 1},
                      Row{"LauncherSysDown", kNotepadOnA, kWmSysKeyDown, {}, {}, 1},
                      Row{"LauncherUp", kNotepadOnA, kWmKeyUp, {}, {}, 0},
                      Row{"LauncherSysUp", kNotepadOnA, kWmSysKeyUp, {}, {}, 0},
                      Row{"FunctionDown", kCopyOnA, kWmKeyDown, {}, {170, 670}, 0},
                      Row{"FunctionUp", kCopyOnA, kWmKeyUp, {}, {171, 671}, 0},
                      Row{"FunctionSysUp", kCopyOnA, kWmSysKeyUp, {}, {171, 671}, 0},
                      Row{"FunctionOtherMessage", kCopyOnA, 0x102, {}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyAssignmentActionsTest, LauncherGetsPathAndArguments) {
    settings_.funKeys[0].argm = "a b";
    Load(kNotepadOnA);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));
    EXPECT_EQ(launcher_.started(),
              (std::vector<SimProgramLauncher::Started>{{"notepad.exe", "a b"}}));
}

TEST_F(KeyAssignmentActionsTest, InjectedAndMarkedEventsPassUntouched) {
    Load(kKeyAtoB);
    EXPECT_FALSE(Event(kWmKeyDown, 0x41, kLlkhfInjected));
    EXPECT_FALSE(Event(kWmKeyDown, 0x41, 0, 0, kInjectedEventMarker));
    EXPECT_TRUE(injector_.sent().empty());
}

TEST_F(KeyAssignmentActionsTest, UnassignedAndDisconnectedKeysPass) {
    Load(kKeyAtoB);
    EXPECT_FALSE(Event(kWmKeyDown, 0x43));
    // Extended A is another key code.
    EXPECT_FALSE(Event(kWmKeyDown, 0x41, kLlkhfExtended));
    connected_ = false;
    EXPECT_FALSE(Event(kWmKeyDown, 0x41));
    EXPECT_FALSE(Event(kWmKeyUp, 0x41));
    EXPECT_TRUE(injector_.sent().empty());
}

TEST_F(KeyAssignmentActionsTest, ExtendedKeyCodeMatchesItsRecord) {
    Load("<record code=\"269\" type=\"1\"><item code=\"66\"/></record>\n");  // pad Enter
    EXPECT_FALSE(Event(kWmKeyDown, 0x0D));
    EXPECT_TRUE(Event(kWmKeyDown, 0x0D, kLlkhfExtended));
}

TEST_F(KeyAssignmentActionsTest, AutoRepeatOfAKeyRecordSendsRepeatedDownsAndOneUp) {
    Load(kKeyAtoB);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Event(kWmKeyDown, 0x41));
    EXPECT_TRUE(Event(kWmKeyUp, 0x41));
    EXPECT_EQ(injector_.sent(), (std::vector<Sent>{Down(0x42, 0x30), Down(0x42, 0x30),
                                                   Down(0x42, 0x30), Up(0x42, 0x30)}));
}

TEST_F(KeyAssignmentActionsTest, KeyRecordOnShiftAlsoReleasesShift) {
    Load("<record code=\"16\" type=\"1\"><item code=\"66\"/></record>\n");
    EXPECT_TRUE(Event(kWmKeyUp, 0x10));
    EXPECT_EQ(injector_.sent(), (std::vector<Sent>{Up(0x42, 0x30), Up(0x10, 0x2A)}));
}

TEST_F(KeyAssignmentActionsTest, KeyRecordSwallowsScanCodesWithBit0x200WithoutSending) {
    Load(kKeyAtoB);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41, 0, 0x21E));
    EXPECT_TRUE(injector_.sent().empty());
}

TEST_F(KeyAssignmentActionsTest, PassedOverRecordsLetTheNextRecordOrTheSystemAct) {
    Load(std::string("<record code=\"65\" type=\"1\"/>\n") +                   // Key without items
         "<record code=\"65\" type=\"2\"><item code=\"10099\"/></record>\n" +  // unknown funkey
         "<record code=\"65\" type=\"7\"><item code=\"67\"/></record>\n" +     // unknown type
         kVolumeUpOnA);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));
    EXPECT_EQ(injector_.sent(), (std::vector<Sent>{Down(0xAF)}));
    Load(
        "<record code=\"65\" type=\"1\"/>\n<record code=\"65\" type=\"2\"><item "
        "code=\"10099\"/></record>\n");
    EXPECT_FALSE(Event(kWmKeyDown, 0x41));
}

TEST_F(KeyAssignmentActionsTest, AllButtonsCodeNeverMatches) {
    Load("<record code=\"2147483647\" type=\"1\"><item code=\"66\"/></record>\n");
    for (std::uint32_t vk = 0; vk < 256; ++vk) {
        EXPECT_FALSE(Event(kWmKeyDown, vk));
        EXPECT_FALSE(Event(kWmKeyDown, vk, kLlkhfExtended));
    }
}

TEST_F(KeyAssignmentActionsTest, MacroRepeatNotPositiveQueuesNothing) {
    Load("<record code=\"65\" type=\"0\" repeat=\"-1\"><item code=\"66\"/></record>\n");
    EXPECT_TRUE(Event(kWmKeyUp, 0x41));
    EXPECT_TRUE(QueuedCodes().empty());
}

TEST_F(KeyAssignmentActionsTest, FunctionAutoRepeatQueuesNothingWhileTheDownStepWaits) {
    Load(kCopyOnA);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));
    EXPECT_EQ(actions_.LastComboDownStep().code, 67);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));  // auto-repeat
    EXPECT_EQ(QueuedCodes(), (std::vector<std::int32_t>{170, 670}));
    actions_.PlayNextKeyStep();
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));  // the remembered step is still last
    EXPECT_EQ(QueuedCodes(), (std::vector<std::int32_t>{670}));
    actions_.PlayNextKeyStep();
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));  // taken: queue the downs again
    EXPECT_EQ(QueuedCodes(), (std::vector<std::int32_t>{170, 670}));
    EXPECT_TRUE(Event(kWmKeyUp, 0x41));
    EXPECT_EQ(QueuedCodes(), (std::vector<std::int32_t>{170, 670, 171, 671}));
    EXPECT_EQ(actions_.LastComboDownStep().code, 0);
    EXPECT_EQ(actions_.LastComboDownStep().state, 1);
}

TEST_F(KeyAssignmentActionsTest, MacroEditorGetsEventsWhileRecordingOrOnTheKeyPage) {
    Load(kKeyAtoB);
    EditorStub editor;
    actions_.SetMacroEditor(&editor);
    EXPECT_TRUE(Event(kWmKeyDown, 0x41));  // not recording, page Macro: assignments act
    EXPECT_EQ(editor.calls, 0);
    macros_.config.recording = true;
    connected_ = false;  // the editor comes before the connected test
    EXPECT_TRUE(Event(kWmKeyDown, 0x43));
    macros_.config.recording = false;
    macros_.config.type = AssignmentType::Key;
    EXPECT_TRUE(Event(kWmKeyDown, 0x43));
    EXPECT_EQ(editor.calls, 2);
    EXPECT_FALSE(Event(kWmKeyDown, 0x43, 0, 0, kInjectedEventMarker));  // still dropped first
    EXPECT_EQ(editor.calls, 2);
    actions_.SetMacroEditor(nullptr);
    EXPECT_FALSE(Event(kWmKeyDown, 0x43));
    EXPECT_EQ(injector_.sent().size(), 1u);
}

TEST_F(KeyAssignmentActionsTest, PlayerSendsOneStepPerCallWithFlagsAndLocksForTheLockCode) {
    Load(
        "<record code=\"65\" type=\"0\" repeat=\"1\">"
        "<item code=\"91\" state=\"0\" delay=\"5\"/><item code=\"11111\" state=\"0\" "
        "delay=\"999\"/>"
        "<item code=\"91\" state=\"1\" delay=\"7\"/><item code=\"66\" state=\"2\" delay=\"0\"/>"
        "</record>\n");
    std::vector<std::int64_t> slept;
    KeyAssignmentActions actions{{injector_, launcher_, workstation_, [] { return true; },
                                  [&](std::chrono::milliseconds d) { slept.push_back(d.count()); }},
                                 lock_,
                                 {store_, settings_, macros_}};
    actions.PlayNextKeyStep();  // empty queue: nothing
    EXPECT_TRUE(injector_.sent().empty());
    int code = 0;
    std::uint32_t message = kWmKeyUp;
    KeyboardHookEvent event;
    event.vkCode = 0x41;
    ASSERT_TRUE(actions.OnHookEvent(code, message, event));
    for (int i = 0; i < 4; ++i) actions.PlayNextKeyStep();
    EXPECT_EQ(injector_.sent(),
              (std::vector<Sent>{Down(0x5B, 0, kKeyEventFExtendedKey),
                                 Up(0x5B, 0, kKeyEventFExtendedKey), Down(0x42, 0x30)}));
    EXPECT_EQ(workstation_.lockCount(), 1);
    EXPECT_EQ(slept, (std::vector<std::int64_t>{5, 7, 0}));
    EXPECT_TRUE(actions.QueuedSteps().empty());
}

TEST(KeyStepPlaybackTest, RealTaskThreadPlaysAMacroWithItsDelays) {
    TempDir dir;
    const auto file = dir.path() / "record.xml";
    std::ofstream(file) << "<?xml version=\"1.0\"?>\n"
                        << "<record code=\"65\" type=\"0\" repeat=\"1\">"
                           "<item code=\"66\" state=\"0\" delay=\"30\"/>"
                           "<item code=\"66\" state=\"1\" delay=\"30\"/>"
                           "<item code=\"67\" state=\"0\" delay=\"0\"/></record>\n";
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(file));
    AppSettings settings;
    MacroStore macros;
    SimKeyInjector injector;
    SimProgramLauncher launcher;
    SimWorkstation workstation;
    TaskThread thread;
    KeyAssignmentActions actions{{injector, launcher, workstation, [] { return true; }},
                                 thread.KeyStepLock(),
                                 {store, settings, macros}};
    ASSERT_EQ(thread.Start(&actions), 0);
    thread.SetCallbacks(
        [](void* self) { static_cast<KeyAssignmentActions*>(self)->PlayNextKeyStep(); }, nullptr,
        nullptr);
    int code = 0;
    std::uint32_t message = kWmKeyUp;
    KeyboardHookEvent event;
    event.vkCode = 0x41;
    ASSERT_TRUE(actions.OnHookEvent(code, message, event));
    for (int i = 0; i < 5000 && injector.sent().size() < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread.Stop(true);
    const auto sent = injector.sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].vk, 0x42);
    EXPECT_EQ(sent[1].flags, kKeyEventFKeyUp);
    EXPECT_EQ(sent[2].vk, 0x43);
    EXPECT_GE(sent[1].at - sent[0].at, std::chrono::milliseconds(30));
    EXPECT_GE(sent[2].at - sent[1].at, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace keydeck
