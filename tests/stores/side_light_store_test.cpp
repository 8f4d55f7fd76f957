#include "stores/side_light_store.h"

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

class SideLightStoreTest : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_.path() / "sidemodel.xml"; }
    TempDir dir_;
};

TEST_F(SideLightStoreTest, MissingFileWritesFactoryValues) {
    SideLightStore store;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("sidemodel_reset.xml")));
    for (int m = 0; m < kSideModeCount; ++m) EXPECT_EQ(store.GetEntry(m)->level, m < 3 ? 4 : 7);
}

TEST_F(SideLightStoreTest, MalformedFileIsReplaced) {
    WriteBytes(File(), "<effect");
    SideLightStore store;
    store.sel = 5;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_EQ(store.sel, 0);
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("sidemodel_reset.xml")));
}

TEST_F(SideLightStoreTest, LevelConversion) {
    struct Case {
        const char* text;
        int level;
    };
    const Case cases[] = {{"0", 0},  {"7", 7},  {"8", 0}, {"15", 0}, {"16", 0},
                          {"17", 1}, {"-1", 0}, {"x", 0}, {"23", 7}, {"4294967286", 6}};
    for (const auto& c : cases) {
        WriteBytes(File(), ItemsFile("0", std::string("<item brightness=\"") + c.text + "\"/>"));
        SideLightStore store;
        ASSERT_TRUE(store.Load(File())) << c.text;
        EXPECT_EQ(store.GetEntry(0)->level, c.level) << c.text;
    }
    WriteBytes(File(), ItemsFile("0", "<item/>"));
    SideLightStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_EQ(store.GetEntry(0)->level, 0);
}

TEST_F(SideLightStoreTest, SelRange) {
    struct Case {
        const char* text;
        int32_t sel;
        bool currentHasEntry;
    };
    const Case cases[] = {{"11", 11, true}, {"12", 12, false}, {"13", 0, true}, {"-1", 0, true}};
    for (const auto& c : cases) {
        WriteBytes(File(), ItemsFile(c.text, ""));
        SideLightStore store;
        ASSERT_TRUE(store.Load(File()));
        EXPECT_EQ(store.sel, c.sel) << c.text;
        EXPECT_EQ(store.GetEntry(-1) != nullptr, c.currentHasEntry) << c.text;
    }
}

TEST_F(SideLightStoreTest, ShortFileChangesOnlyItsModesAndSaveWritesAll) {
    std::string items;
    for (int i = 0; i < 5; ++i) items += "\t<mode brightness=\"1\" />\n";
    WriteBytes(File(), ItemsFile("4", items));
    SideLightStore store;
    ASSERT_TRUE(store.Load(File()));
    for (int m = 0; m < kSideModeCount; ++m) {
        EXPECT_EQ(store.GetEntry(m)->level, m < 5 ? 1 : SideLightStore::FactoryLevel(m));
    }
    ASSERT_TRUE(store.Save());
    const std::string bytes = ReadBytes(File());
    size_t items_written = 0;
    for (size_t at = bytes.find("\t<item "); at != std::string::npos;
         at = bytes.find("\t<item ", at + 1)) {
        ++items_written;
    }
    EXPECT_EQ(items_written, 12u);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\"?>\n<effect sel=\"4\">\n", 0), 0u);
}

TEST_F(SideLightStoreTest, WellFormedFileWithoutEffectIsNotRewritten) {
    const std::string bytes = "<x/>";
    WriteBytes(File(), bytes);
    SideLightStore store;
    store.GetEntry(2)->level = 1;
    EXPECT_TRUE(store.Load(File()));
    EXPECT_EQ(store.sel, 0);
    EXPECT_EQ(store.GetEntry(2)->level, 1);
    EXPECT_EQ(ReadBytes(File()), bytes);
}

TEST_F(SideLightStoreTest, SetCurrentSavesAndFailedSaveKeepsMemory) {
    SideLightStore store;
    store.Load(File());
    ASSERT_TRUE(store.SetCurrent(12));
    EXPECT_EQ(store.GetEntry(-1), nullptr);
    SideLightStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.sel, 12);

    SideLightStore broken;
    broken.Load(dir_.path() / "missing" / "sidemodel.xml");
    EXPECT_FALSE(broken.SetCurrent(3));
    EXPECT_EQ(broken.sel, 3);
    EXPECT_FALSE(broken.ResetToDefaults());
    EXPECT_EQ(broken.sel, 0);
}

}  // namespace
}  // namespace keydeck
