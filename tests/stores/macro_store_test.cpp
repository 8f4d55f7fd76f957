#include "stores/macro_store.h"

#include <gtest/gtest.h>

#include "tests/stores/store_test_files.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using testing::Fixture;
using testing::ReadBytes;
using testing::WriteBytes;

class MacroStoreTest : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_.path() / "macro.xml"; }
    TempDir dir_;
};

TEST_F(MacroStoreTest, MissingFileKeepsStartingValuesAndWritesNothing) {
    MacroStore store;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_EQ(store.config, MacroConfig{});
    EXPECT_EQ(store.config.repeat, 1);
    EXPECT_EQ(store.config.delay, 10);
    EXPECT_TRUE(store.groups().empty());
    EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(MacroStoreTest, WorkedExampleIsWrittenExactly) {
    MacroStore store;
    store.Load(File());
    ASSERT_TRUE(store.AddGroup());
    MacroGroup* g = store.GetGroup(0);
    ASSERT_NE(g, nullptr);
    g->AppendStep(65, 0, 100, "A");
    g->AppendStep(65, 1, 0, "A");
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("macro_one_group.xml")));
}

TEST_F(MacroStoreTest, MixedFileRoundTripsByteForByte) {
    std::filesystem::copy_file(Fixture("macro_mixed.xml"), File());
    MacroStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_EQ(store.config, (MacroConfig{AssignmentType::Function, 5, 50, 1, 2, 1, 112, 1, false}));
    ASSERT_EQ(store.groups().size(), 2u);
    EXPECT_TRUE(store.groups()[0].steps.empty());
    EXPECT_EQ(store.groups()[1].name, "Sprint & jump");
    EXPECT_EQ(store.groups()[1].steps[0].delay, -1);
    EXPECT_EQ(store.groups()[1].steps[3].name, "\xE2\x80\x98");
    EXPECT_EQ(store.GetGroup(-1), &store.groups()[1]);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("macro_mixed.xml")));
}

TEST_F(MacroStoreTest, EmptyLibraryIsAnEmptyMacroElement) {
    MacroStore store;
    store.Load(File());
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(File()),
              "<?xml version=\"1.0\"?>\n<config type=\"0\" repeat=\"1\" mode=\"0\" delay=\"10\" "
              "media=\"0\" function=\"0\" group=\"0\" skcode=\"0\" />\n<macro />\n");
}

TEST_F(MacroStoreTest, ConfigReadingRules) {
    struct Case {
        const char* file;
        int32_t repeat;
        size_t groups;
    };
    const Case cases[] = {
        {"<config type=\"1\"/>", 0, 0},                // present without "repeat": 0
        {"<macro><group name=\"m\"/></macro>", 1, 1},  // no config: starting values
        {"<macro/><config repeat=\"4\"/><config repeat=\"9\"/>", 4, 0},  // first counts
    };
    for (const auto& c : cases) {
        WriteBytes(File(), c.file);
        MacroStore store;
        store.config.recording = true;
        ASSERT_TRUE(store.Load(File())) << c.file;
        EXPECT_EQ(store.config.repeat, c.repeat) << c.file;
        EXPECT_EQ(store.groups().size(), c.groups) << c.file;
        EXPECT_TRUE(store.config.recording) << "never read from the file";
    }
}

TEST_F(MacroStoreTest, AnyChildIsAMacroAndAnyGrandchildAStep) {
    WriteBytes(File(),
               "<macro><m name=\"x\"><s code=\"-1\" state=\"1\"/></m><group/></macro>"
               "<macro><group name=\"ignored\"/></macro>");
    MacroStore store;
    ASSERT_TRUE(store.Load(File()));
    ASSERT_EQ(store.groups().size(), 2u);
    EXPECT_EQ(store.groups()[0].steps[0], (MacroStep{-1, 1, 0, ""}));
    EXPECT_EQ(store.groups()[1].name, "");
}

TEST_F(MacroStoreTest, ModeAndDelayKeepTheirOwnAttributes) {
    MacroStore store;
    store.Load(File());
    store.config.mode = 1;
    store.config.delay = 50;
    ASSERT_TRUE(store.Save());
    EXPECT_NE(ReadBytes(File()).find("mode=\"1\" delay=\"50\""), std::string::npos);
    MacroStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.config.mode, 1);
    EXPECT_EQ(again.config.delay, 50);
}

TEST_F(MacroStoreTest, AddGroupNaming) {
    struct Case {
        std::vector<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "Macro 0"},          {{"Macro 0", "Macro 1"}, "Macro 2"}, {{"Macro 1"}, "Macro 2"},
        {{"macro 1"}, "Macro 1"}, {{"Macro 2", "Macro 3"}, "Macro 4"}, {{"Macro 2 "}, "Macro 1"},
    };
    for (const auto& c : cases) {
        std::string file = "<macro>";
        for (const auto& n : c.existing) file += "<group name=\"" + n + "\"/>";
        WriteBytes(File(), file + "</macro>");
        MacroStore store;
        ASSERT_TRUE(store.Load(File()));
        ASSERT_TRUE(store.AddGroup());
        EXPECT_EQ(store.groups().back().name, c.expected);
        MacroStore again;
        ASSERT_TRUE(again.Load(File()));
        EXPECT_EQ(again.groups().size(), c.existing.size() + 1);
    }
}

TEST_F(MacroStoreTest, DeleteAndRenameGroup) {
    MacroStore store;
    store.Load(File());
    store.AddGroup();
    store.AddGroup();
    EXPECT_FALSE(store.DeleteGroup(2));
    EXPECT_FALSE(store.DeleteGroup(-1));
    EXPECT_EQ(store.groups().size(), 2u);

    const std::string before = ReadBytes(File());
    EXPECT_FALSE(store.RenameGroup(0, "Macro 0"));
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_FALSE(store.RenameGroup(5, "x"));
    EXPECT_TRUE(store.RenameGroup(0, "Boss <fight>"));
    EXPECT_NE(ReadBytes(File()).find("name=\"Boss &lt;fight>\""), std::string::npos);

    EXPECT_TRUE(store.DeleteGroup(0));
    MacroStore again;
    ASSERT_TRUE(again.Load(File()));
    ASSERT_EQ(again.groups().size(), 1u);
    EXPECT_EQ(again.groups()[0].name, "Macro 1");
}

TEST_F(MacroStoreTest, GetGroupIndices) {
    MacroStore store;
    store.Load(File());
    store.AddGroup();
    store.AddGroup();
    store.config.group = 1;
    EXPECT_EQ(store.GetGroup(-1), &store.groups()[1]);
    EXPECT_EQ(store.GetGroup(0), &store.groups()[0]);
    EXPECT_EQ(store.GetGroup(2), nullptr);
    store.config.group = 5;
    EXPECT_EQ(store.GetGroup(-1), nullptr);
    store.config.group = -3;
    EXPECT_EQ(store.GetGroup(-1), nullptr);
}

TEST(MacroGroupSteps, EditOperations) {
    MacroGroup g;
    for (int i = 0; i < 3; ++i) g.AppendStep(i, 0, 0, std::to_string(i));
    auto codes = [&] {
        std::vector<int32_t> c;
        for (const auto& s : g.steps) c.push_back(s.code);
        return c;
    };
    EXPECT_FALSE(g.MoveStepUp(0));
    EXPECT_FALSE(g.MoveStepUp(3));
    EXPECT_TRUE(g.MoveStepUp(2));
    EXPECT_EQ(codes(), (std::vector<int32_t>{0, 2, 1}));
    EXPECT_FALSE(g.MoveStepDown(2));
    EXPECT_FALSE(g.MoveStepDown(-1));
    EXPECT_TRUE(g.MoveStepDown(0));
    EXPECT_EQ(codes(), (std::vector<int32_t>{2, 0, 1}));
    g.DeleteStep(3);
    g.DeleteStep(-1);
    EXPECT_EQ(g.steps.size(), 3u);
    g.DeleteStep(1);
    EXPECT_EQ(codes(), (std::vector<int32_t>{2, 1}));
    g.ClearSteps();
    EXPECT_TRUE(g.steps.empty());
    EXPECT_FALSE(g.MoveStepDown(0));
}

TEST_F(MacroStoreTest, ResetConfigDoesNotSave) {
    std::filesystem::copy_file(Fixture("macro_mixed.xml"), File());
    MacroStore store;
    ASSERT_TRUE(store.Load(File()));
    store.config.recording = true;
    store.ResetConfig();
    EXPECT_EQ(store.config, MacroConfig{});
    EXPECT_EQ(store.groups().size(), 2u);
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("macro_mixed.xml")));
}

TEST_F(MacroStoreTest, FailedSaveKeepsMemory) {
    MacroStore store;
    store.Load(dir_.path() / "nowhere" / "macro.xml");
    EXPECT_FALSE(store.AddGroup());
    ASSERT_EQ(store.groups().size(), 1u);
    EXPECT_TRUE(store.RenameGroup(0, "kept"));
    EXPECT_EQ(store.groups()[0].name, "kept");
    EXPECT_FALSE(store.Save());
}

}  // namespace
}  // namespace keydeck
