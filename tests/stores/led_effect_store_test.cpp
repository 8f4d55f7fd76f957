#include "stores/led_effect_store.h"

#include <gtest/gtest.h>

#include "tests/stores/store_test_files.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using testing::Fixture;
using testing::ReadBytes;
using testing::WriteBytes;

std::string ItemsFile(const std::string& sel, const std::string& items) {
    return "<?xml version=\"1.0\"?>\n<effect sel=\"" + sel + "\">\n" + items + "</effect>\n";
}

class LedEffectStoreTest : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_.path() / "ledeffect.xml"; }
    TempDir dir_;
};

TEST_F(LedEffectStoreTest, MissingFileWritesFactoryValuesAndReportsFalse) {
    LedEffectStore store;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("ledeffect_reset.xml")));
    EXPECT_EQ(store.sel, 20);
    EXPECT_EQ(store.path(), File());
}

TEST_F(LedEffectStoreTest, MalformedFileIsReplacedByFactoryValues) {
    WriteBytes(File(), "<effect sel=\"3\"><item speed=\"2\"");
    LedEffectStore store;
    store.sel = 4;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_EQ(store.sel, 20);
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("ledeffect_reset.xml")));
}

TEST_F(LedEffectStoreTest, EmptyPathChangesNothing) {
    LedEffectStore store;
    store.sel = 3;
    EXPECT_FALSE(store.Load({}));
    EXPECT_EQ(store.sel, 3);
    EXPECT_TRUE(store.path().empty());
    EXPECT_FALSE(store.Save());
}

TEST_F(LedEffectStoreTest, ResetWritesTheWorkedExample) {
    WriteBytes(File(), ItemsFile("3", "\t<item speed=\"0\" brightness=\"1\" />\n"));
    LedEffectStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_TRUE(store.ResetToDefaults());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("ledeffect_reset.xml")));
}

TEST_F(LedEffectStoreTest, SelRange) {
    struct Case {
        const char* text;
        int32_t sel;
        bool currentHasEntry;
    };
    const Case cases[] = {{"0", 0, true},   {"21", 21, true},       {"22", 22, false},
                          {"23", 0, true},  {"-1", 0, true},        {"abc", 0, true},
                          {" 5x", 5, true}, {"4294967295", 0, true}};
    for (const auto& c : cases) {
        WriteBytes(File(), ItemsFile(c.text, ""));
        LedEffectStore store;
        ASSERT_TRUE(store.Load(File())) << c.text;
        EXPECT_EQ(store.sel, c.sel) << c.text;
        EXPECT_EQ(store.GetEntry(-1) != nullptr, c.currentHasEntry) << c.text;
    }
}

TEST_F(LedEffectStoreTest, EntryRangeRules) {
    struct Case {
        const char* attrs;
        LedEffectEntry expected;  // brightness, speed, deriction, selection
    };
    const Case cases[] = {
        {"speed=\"2\" brightness=\"5\" deriction=\"1\" selection=\"2\"", {5, 2, 1, 2}},
        {"brightness=\"9\"", {5, 0, 0, 1}},
        {"speed=\"3\"", {0, 1, 0, 1}},
        {"deriction=\"2\"", {0, 0, 0, 1}},
        {"brightness=\"258\"", {2, 0, 0, 1}},
        {"speed=\"fast\"", {0, 0, 0, 1}},
        {"speed=\"-1\" brightness=\"-1\" deriction=\"-1\"", {5, 1, 0, 1}},
        {"selection=\"0\"", {0, 0, 0, 0}},
        {"selection=\"7\"", {0, 0, 0, 7}},
        {"selection=\"513\"", {0, 0, 0, 1}},
        {"", {0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        WriteBytes(File(), ItemsFile("0", std::string("\t<item ") + c.attrs + " />\n"));
        LedEffectStore store;
        ASSERT_TRUE(store.Load(File())) << c.attrs;
        EXPECT_EQ(*store.GetEntry(0), c.expected) << c.attrs;
    }
}

TEST_F(LedEffectStoreTest, ShortFileChangesOnlyItsEntriesAndSaveWritesAll) {
    WriteBytes(File(), ItemsFile("1",
                                 "\t<item speed=\"0\" brightness=\"0\" deriction=\"1\" />\n"
                                 "\t<other speed=\"2\" brightness=\"1\" />\n"
                                 "\t<item brightness=\"3\" />\n"));
    LedEffectStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_EQ(*store.GetEntry(0), (LedEffectEntry{0, 0, 1, 1}));
    EXPECT_EQ(*store.GetEntry(1), (LedEffectEntry{1, 2, 0, 1}));  // any tag name
    EXPECT_EQ(*store.GetEntry(2), (LedEffectEntry{3, 0, 0, 1}));
    for (int i = 3; i < kEffectCount; ++i) EXPECT_EQ(*store.GetEntry(i), LedEffectEntry{});
    ASSERT_TRUE(store.Save());
    LedEffectStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.entries(), store.entries());
    EXPECT_EQ(again.sel, 1);
}

TEST_F(LedEffectStoreTest, ChildrenAfterTheLastEffectAreIgnored) {
    std::string items;
    for (int i = 0; i < kEffectCount; ++i) items += "\t<item brightness=\"2\" />\n";
    items += "\t<item brightness=\"9\" speed=\"9\" />\n";
    WriteBytes(File(), ItemsFile("0", items));
    LedEffectStore store;
    ASSERT_TRUE(store.Load(File()));
    for (int i = 0; i < kEffectCount; ++i) EXPECT_EQ(store.GetEntry(i)->brightness, 2);
}

TEST_F(LedEffectStoreTest, WellFormedFileWithoutEffectKeepsEntriesAndIsNotRewritten) {
    const std::string bytes = "<?xml version=\"1.0\"?>\n<other sel=\"5\" />\n";
    WriteBytes(File(), bytes);
    LedEffectStore store;
    store.GetEntry(3)->speed = 2;
    EXPECT_TRUE(store.Load(File()));
    EXPECT_EQ(store.sel, 0);
    EXPECT_EQ(store.GetEntry(3)->speed, 2);
    EXPECT_EQ(ReadBytes(File()), bytes);
}

TEST_F(LedEffectStoreTest, SuccessfulLoadDoesNotRewriteTheFile) {
    const std::string bytes = ItemsFile("2", "<item  speed=\"1\"/>");
    WriteBytes(File(), bytes);
    LedEffectStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_EQ(ReadBytes(File()), bytes);
}

TEST_F(LedEffectStoreTest, NegativeSelIsWrittenSignedAndReadsBackAsZero) {
    LedEffectStore store;
    store.Load(File());
    ASSERT_TRUE(store.SetCurrent(-1));
    EXPECT_NE(ReadBytes(File()).find("<effect sel=\"-1\">"), std::string::npos);
    EXPECT_EQ(store.GetEntry(-1), nullptr);
    LedEffectStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.sel, 0);
}

TEST_F(LedEffectStoreTest, GetEntryBounds) {
    LedEffectStore store;
    EXPECT_NE(store.GetEntry(0), nullptr);
    EXPECT_NE(store.GetEntry(21), nullptr);
    EXPECT_EQ(store.GetEntry(22), nullptr);
    EXPECT_EQ(store.GetEntry(-2), nullptr);
    EXPECT_EQ(store.GetEntry(-1), store.GetEntry(20));
}

TEST_F(LedEffectStoreTest, FailedSaveKeepsMemoryAndTheOldFile) {
    LedEffectStore store;
    store.Load(File());
    const std::string before = ReadBytes(File());
    // A directory where the file should be: the rename cannot replace it.
    const auto blocked = dir_.path() / "blocked";
    std::filesystem::create_directories(blocked / "inner");
    LedEffectStore other;
    EXPECT_FALSE(other.Load(blocked));
    EXPECT_FALSE(other.SetCurrent(7));
    EXPECT_EQ(other.sel, 7);
    other.GetEntry(7)->speed = 2;
    EXPECT_FALSE(other.Save());
    EXPECT_EQ(other.GetEntry(7)->speed, 2);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    // The good store's file was untouched, and no temporary file is left behind.
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_EQ(testing::CountFiles(dir_.path()), 2);
}

TEST_F(LedEffectStoreTest, SaveToMissingDirectoryFails) {
    LedEffectStore store;
    EXPECT_FALSE(store.Load(dir_.path() / "no" / "ledeffect.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "no"));
    EXPECT_EQ(store.sel, 20);
}

TEST_F(LedEffectStoreTest, AccessorReturnsOneObject) {
    EXPECT_EQ(&GetLedEffectStore(), &GetLedEffectStore());
}

}  // namespace
}  // namespace keydeck
