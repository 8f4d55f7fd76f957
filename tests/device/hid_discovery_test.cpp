#include "device/hid_discovery.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/sim_keyboard.h"
#include "tests/device/log_capture.h"

namespace keydeck {
namespace {

const char* kMousePath =
    "\\\\?\\hid#vid_046d&pid_c52b&mi_01#9&1234&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
// Another vendor's device with the keyboard's product ID and no interface field.
const char* kLookalikePath =
    "\\\\?\\hid#vid_0b05&pid_6700#9&5678&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() {
        HidEnumeratedInterface mouse;
        mouse.path = kMousePath;
        keyboard.AddForeignInterface(mouse, HidCapabilities{2, 1, 5, 0, 0}, true);
        HidEnumeratedInterface lookalike;
        lookalike.path = kLookalikePath;
        lookalike.interfaceFlags = 1;
        keyboard.AddForeignInterface(lookalike, HidCapabilities{1, 0xFF00, 0, 8, 8}, false);
    }

    std::vector<std::string> Paths(int32_t vid, std::vector<int32_t> pids, int32_t interface,
                                   int32_t subdevice) {
        std::vector<std::string> paths;
        for (const auto& info : FindHidInterfaces(keyboard, vid, pids, interface, subdevice)) {
            paths.push_back(info.path);
        }
        return paths;
    }

    SimKeyboard keyboard;
    LogCapture log;
};

TEST_F(DiscoveryTest, NoVendorAndNoProductEnumeratesNothing) {
    EXPECT_TRUE(FindHidInterfaces(keyboard, 0, {}, -1, -1).empty());
    EXPECT_TRUE(FindHidInterfaces(keyboard, -5, {}, -1, -1).empty());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(keyboard.openCount(), 0);
}

TEST_F(DiscoveryTest, FindsTheConfigurationInterfaceWithItsProbedFields) {
    const auto found = FindHidInterfaces(keyboard, DeviceIdentity{0x1a2c, 0x6700, 1, 1});
    ASSERT_EQ(found.size(), 1u);
    const HidInterfaceInfo& info = found.front();
    EXPECT_EQ(info.path, keyboard.ConfigInterfacePath());
    EXPECT_EQ(info.interfaceClass, kHidInterfaceClassGuid);
    EXPECT_EQ(info.vendorId, 0x1a2c);
    EXPECT_EQ(info.productId, 0x6700);
    EXPECT_EQ(info.releaseNumber, 0x0105);
    EXPECT_EQ(info.usagePage, 0xFF00);
    EXPECT_EQ(info.usage, 1);
    // Only the matching interface is opened, once.
    EXPECT_EQ(keyboard.openCount(), 1);
    EXPECT_EQ(keyboard.liveConnections(), 0);
}

TEST_F(DiscoveryTest, LogsTheClassEveryInterfaceAndTheProbe) {
    FindHidInterfaces(keyboard, DeviceIdentity{0x1a2c, 0x6700, 1, 1});
    const std::vector<std::string> expected = {
        "got classs: guid={4d1e55b2-f16f-11cf-88cb001111000030}\n",
        "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=0\n",
        "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=1\n",
        "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=2\n",
        "open dev: 00000100\n",
        "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=3\n",
        "enum interface: guid={4d1e55b2-f16f-11cf-88cb001111000030} index=4\n",
    };
    EXPECT_EQ(log.lines(), expected);
}

struct FilterCase {
    const char* name;
    int32_t vid;
    std::vector<int32_t> pids;
    int32_t interface;
    int32_t subdevice;
    std::vector<int> expected;  // 0 boot, 1 vendor, 2 consumer, 3 mouse, 4 lookalike
};

class DiscoveryFilterTest : public DiscoveryTest,
                            public ::testing::WithParamInterface<FilterCase> {};

TEST_P(DiscoveryFilterTest, SelectsByPathFields) {
    const FilterCase& c = GetParam();
    const std::vector<std::string> all = {
        keyboard.BootInterfacePath(), keyboard.ConfigInterfacePath(),
        keyboard.ConsumerInterfacePath(), kMousePath, kLookalikePath};
    std::vector<std::string> expected;
    // Enumeration order: the mouse comes first, the lookalike last.
    for (int i : {3, 0, 1, 2, 4}) {
        if (std::find(c.expected.begin(), c.expected.end(), i) != c.expected.end()) {
            expected.push_back(all[i]);
        }
    }
    EXPECT_EQ(Paths(c.vid, c.pids, c.interface, c.subdevice), expected);
}

const FilterCase kFilterCases[] = {
    {"AnyVendorOneProduct", 0, {0x6700}, -1, -1, {0, 1, 2, 4}},
    {"VendorAndProduct", 0x1a2c, {0x6700}, -1, -1, {0, 1, 2}},
    {"VendorOnly", 0x1a2c, {}, -1, -1, {0, 1, 2}},
    {"NegativeVendorIsAny", -1, {0x6700}, -1, -1, {0, 1, 2, 4}},
    {"InterfaceOne", 0x1a2c, {0x6700}, 1, -1, {1, 2}},
    {"InterfaceZero", 0x1a2c, {0x6700}, 0, -1, {0}},
    {"InterfaceRejectsPathWithoutIt", 0, {0x6700}, 1, -1, {1, 2}},
    {"CollectionTwo", 0x1a2c, {0x6700}, 1, 2, {2}},
    {"CollectionZeroMatchesNone", 0x1a2c, {0x6700}, 0, 0, {}},
    {"OtherNegativeSubdeviceRejectsAll", 0, {0x6700}, -1, -2, {}},
    {"OtherNegativeInterfaceRejectsAll", 0x1a2c, {}, -3, -1, {}},
    {"TwoProducts", 0, {0xc52b, 0x6700}, 1, -1, {1, 2, 3}},
    {"WrongVendor", 0x1234, {0x6700}, -1, -1, {}},
};

INSTANTIATE_TEST_SUITE_P(Filters, DiscoveryFilterTest, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscoveryTest, ProductListOfTheIdentity) {
    EXPECT_TRUE(ProductListOf(DeviceIdentity{0x1a2c, 0, 1, 1}).empty());
    const DeviceIdentity identity{0x1a2c, 0x6700, 1, 1};
    const auto list = ProductListOf(identity);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], 0x6700);
}

TEST_F(DiscoveryTest, RefusedProbeIsListedWithZeros) {
    keyboard.SetRefuseOpen(true);
    const auto found = FindHidInterfaces(keyboard, DeviceIdentity{0x1a2c, 0x6700, 1, -1});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, keyboard.ConfigInterfacePath());
    EXPECT_EQ(found[0].releaseNumber, 0);
    EXPECT_EQ(found[0].usagePage, 0);
    EXPECT_EQ(found[0].usage, 0);
    const auto lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "open dev: ffffffff\n"), 2);
}

TEST_F(DiscoveryTest, FailingDetailIsLoggedAndSkipped) {
    keyboard.SetFailNextDetail(true);  // the mouse, first in order
    const auto found = FindHidInterfaces(keyboard, 0, std::vector<int32_t>{0xc52b}, -1, -1);
    EXPECT_TRUE(found.empty());
    const auto lines = log.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "获取接口信息失败\n");
}

TEST_F(DiscoveryTest, InterfaceWithoutDetailIsSkippedSilently) {
    HidEnumeratedInterface none;
    none.detail = HidEnumeratedInterface::Detail::kNone;
    keyboard.AddForeignInterface(none, {}, true);
    const auto found = FindHidInterfaces(keyboard, 0x1a2c, {}, 1, 1);
    EXPECT_EQ(found.size(), 1u);
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("获取"), std::string::npos);
}

TEST_F(DiscoveryTest, UnpluggedKeyboardIsNotFound) {
    keyboard.Unplug();
    EXPECT_TRUE(FindHidInterfaces(keyboard, DeviceIdentity{0x1a2c, 0x6700, 1, 1}).empty());
    EXPECT_EQ(log.lines().front(), "got classs: guid={4d1e55b2-f16f-11cf-88cb001111000030}\n");
}

}  // namespace
}  // namespace keydeck
