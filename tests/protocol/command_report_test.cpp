#include "protocol/command_report.h"

#include <gtest/gtest.h>

#include "protocol/lighting_commands.h"

namespace keydeck {
namespace {

using Bytes = std::array<uint8_t, 8>;

TEST(CommandReport, FixedCommands) {
    EXPECT_EQ(CommandReport{}.bytes, (Bytes{0x07, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MakeVersionQueryReport().bytes, (Bytes{0x07, 0xF1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MakeFactoryRestoreReport().bytes, (Bytes{0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
}

struct MainCase {
    const char* name;
    int32_t effect;
    LedEffectEntry entry;
    Bytes window;
    Bytes startup;
};

class MainLightingReportTest : public ::testing::TestWithParam<MainCase> {};

TEST_P(MainLightingReportTest, BuildsBothVariants) {
    const MainCase& c = GetParam();
    EXPECT_EQ(BuildMainLightingReport(c.effect, c.entry).bytes, c.window);
    EXPECT_EQ(BuildStartupLightingReport(c.effect, c.entry).bytes, c.startup);
}

const MainCase kMainCases[] = {
    {"FactoryRecordOfEffect20",
     20,
     {5, 1, 0, 1},
     {0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x00},
     {0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x01}},
    {"SelectionThreeDirectionOne",
     3,
     {2, 0, 1, 3},
     {0x07, 0xFF, 0xFF, 0x03, 0x02, 0x00, 0x02, 0x01},
     {0x07, 0xFF, 0xFF, 0x03, 0x02, 0x00, 0x01, 0x03}},
    {"SelectionTwo",
     0,
     {0, 2, 0, 2},
     {0x07, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x01, 0x00},
     {0x07, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00, 0x02}},
    {"SelectionZeroUnchanged",
     21,
     {1, 1, 0, 0},
     {0x07, 0xFF, 0xFF, 0x15, 0x01, 0x01, 0x00, 0x00},
     {0x07, 0xFF, 0xFF, 0x15, 0x01, 0x01, 0x00, 0x00}},
    {"SelectionOutOfRangeUnchanged",
     5,
     {1, 1, 1, 9},
     {0x07, 0xFF, 0xFF, 0x05, 0x01, 0x01, 0x09, 0x01},
     {0x07, 0xFF, 0xFF, 0x05, 0x01, 0x01, 0x01, 0x09}},
    {"CurrentEffectArgument",
     -1,
     {5, 1, 0, 1},
     {0x07, 0xFF, 0xFF, 0xFF, 0x05, 0x01, 0x00, 0x00},
     {0x07, 0xFF, 0xFF, 0xFF, 0x05, 0x01, 0x00, 0x01}},
};

INSTANTIATE_TEST_SUITE_P(Records, MainLightingReportTest, ::testing::ValuesIn(kMainCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SideCase {
    const char* name;
    int32_t mode;
    uint8_t level;
    uint8_t byte6;
};

class SideLightReportTest : public ::testing::TestWithParam<SideCase> {};

TEST_P(SideLightReportTest, PacksLevelAndMode) {
    const SideCase& c = GetParam();
    SideModeEntry entry;
    entry.level = c.level;
    EXPECT_EQ(BuildSideLightReport(c.mode, entry).bytes,
              (Bytes{0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, c.byte6, 0x00}));
}

const SideCase kSideCases[] = {
    {"Mode4Level7", 4, 7, 0x74},     {"Mode2Level4", 2, 4, 0x42},
    {"Mode11Level15", 11, 15, 0xFB}, {"CurrentModeArgument", -1, 3, 0x3F},
    {"Mode0Level0", 0, 0, 0x00},
};

INSTANTIATE_TEST_SUITE_P(Modes, SideLightReportTest, ::testing::ValuesIn(kSideCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keydeck
