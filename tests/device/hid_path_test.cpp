#include "device/hid_path.h"

#include <gtest/gtest.h>

namespace keydeck {
namespace {

struct PathCase {
    const char* name;
    const char* path;
    bool parses;
    HidPathFields fields;
};

class ParseHidInterfacePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ParseHidInterfacePathTest, GivesTheFieldsOfThePath) {
    const PathCase& c = GetParam();
    HidPathFields fields{111, 222, 333, 444};
    EXPECT_EQ(ParseHidInterfacePath(c.path, &fields), c.parses);
    if (c.parses) {
        EXPECT_EQ(fields, c.fields);
    } else {
        EXPECT_EQ(fields, (HidPathFields{111, 222, 333, 444})) << "nothing written on false";
    }
}

constexpr const char* kTail = "#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

const std::string kFull = std::string("\\\\?\\hid#vid_0001&pid_0002&mi_01&col02") + kTail;
const std::string kPlain = std::string("\\\\?\\hid#vid_1a2c&pid_6700") + kTail;
const std::string kUpper = std::string("\\\\?\\HID#VID_1A2C&PID_6700&MI_01&COL02") + kTail;
const std::string kColOnly = std::string("\\\\?\\hid#vid_1a2c&pid_6700&col03") + kTail;
const std::string kBadDigit = std::string("\\\\?\\hid#vid_1a2c&pid_6700&mi_1z") + kTail;
const std::string kTwoDigits = std::string("\\\\?\\hid#vid_1a2c&pid_6700&mi_10&col0a") + kTail;
const std::string kRev = std::string("\\\\?\\hid#vid_1a2c&pid_6700&rev_0105&mi_01") + kTail;
const std::string kNotHid = std::string("\\\\?\\usb#vid_1a2c&pid_6700&mi_01") + kTail;
const std::string kShortVid = std::string("\\\\?\\hid#vid_1a2&pid_6700") + kTail;
const std::string kInside = std::string("xyzhid#vid_00ff&pid_0010") + kTail;
const std::string kNonHex = std::string("\\\\?\\hid#vid_zz12&pid_0x1a") + kTail;
const std::string kSecond = std::string("\\\\?\\hid#vid_12&hid#vid_0003&pid_0004&mi_02") + kTail;
const std::string kShortMi = std::string("\\\\?\\hid#vid_1a2c&pid_6700&mi_1#x&col01") + kTail;

const PathCase kPathCases[] = {
    {"AllFields", kFull.c_str(), true, {1, 2, 1, 2}},
    {"NoInterfaceNoCollection", kPlain.c_str(), true, {0x1a2c, 0x6700, -1, -1}},
    {"UpperCase", kUpper.c_str(), true, {0x1a2c, 0x6700, 1, 2}},
    {"CollectionWithoutInterface", kColOnly.c_str(), true, {0x1a2c, 0x6700, -1, 3}},
    {"LeadingHexDigitsOnly", kBadDigit.c_str(), true, {0x1a2c, 0x6700, 1, -1}},
    {"BothCharactersCount", kTwoDigits.c_str(), true, {0x1a2c, 0x6700, 16, 10}},
    {"RevisionIsReadPast", kRev.c_str(), true, {0x1a2c, 0x6700, 1, -1}},
    {"NotAHidPath", kNotHid.c_str(), false, {}},
    {"VendorFieldTooShort", kShortVid.c_str(), false, {}},
    {"MatchMayStartAnywhere", kInside.c_str(), true, {0xff, 0x10, -1, -1}},
    {"NoDigitsGiveZeroAndHexPrefixIsTaken", kNonHex.c_str(), true, {0, 0x1a, -1, -1}},
    {"FirstCompleteMatch", kSecond.c_str(), true, {3, 4, 2, -1}},
    {"ShortInterfaceFieldIsSkipped", kShortMi.c_str(), true, {0x1a2c, 0x6700, -1, -1}},
    {"Empty", "", false, {}},
};

INSTANTIATE_TEST_SUITE_P(Paths, ParseHidInterfacePathTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseHidInterfacePath, AcceptsOmittedOutValues) {
    int32_t collection = 99;
    EXPECT_TRUE(ParseHidInterfacePath(kFull, nullptr, nullptr, nullptr, &collection));
    EXPECT_EQ(collection, 2);
    EXPECT_TRUE(ParseHidInterfacePath(kFull, nullptr));
    EXPECT_FALSE(ParseHidInterfacePath(kNotHid, nullptr));
}

TEST(HidGuidLogText, PrintsMembersWithoutTheLastSeparator) {
    EXPECT_EQ(HidGuidLogText(kHidInterfaceClassGuid), "4d1e55b2-f16f-11cf-88cb001111000030");
    EXPECT_EQ(HidGuidLogText(HidGuid{0x12, 0x3, 0xab, {0, 1, 2, 3, 4, 5, 6, 7}}),
              "0012-03-ab-0001020304050607");
}

}  // namespace
}  // namespace keydeck
