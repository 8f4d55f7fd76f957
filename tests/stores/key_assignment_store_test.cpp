#include "stores/key_assignment_store.h"

#include <gtest/gtest.h>

#include "tests/stores/store_test_files.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using testing::Fixture;
using testing::ReadBytes;
using testing::WriteBytes;

KeyRecord MacroRecordForA() {
    return KeyRecord{
        65, AssignmentType::Macro, 1, "A", "Macro 0", {{66, 0, 120, "B"}, {66, 1, 0, "B"}}};
}

class KeyAssignmentStoreTest : public ::testing::Test {
protected:
    std::filesystem::path File() const { return dir_.path() / "record.xml"; }
    TempDir dir_;
};

TEST_F(KeyAssignmentStoreTest, MissingFileGivesEmptyStoreAndNoFile) {
    KeyAssignmentStore store;
    EXPECT_FALSE(store.Load(File()));
    EXPECT_TRUE(store.records().empty());
    EXPECT_FALSE(std::filesystem::exists(File()));
    store.Upsert(MacroRecordForA());  // the first assignment creates the file
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("record_one_macro.xml")));
}

TEST_F(KeyAssignmentStoreTest, MalformedFileKeepsRecordsAndIsNotWritten) {
    KeyAssignmentStore store;
    store.Load(File());
    store.Upsert(MacroRecordForA());
    WriteBytes(File(), "<record code=");
    EXPECT_FALSE(store.Load(File()));
    ASSERT_EQ(store.records().size(), 1u);
    EXPECT_EQ(ReadBytes(File()), "<record code=");
}

TEST_F(KeyAssignmentStoreTest, WorkedExampleReadsAndWritesBack) {
    std::filesystem::copy_file(Fixture("record_one_macro.xml"), File());
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    ASSERT_EQ(store.records().size(), 1u);
    EXPECT_EQ(store.records()[0], MacroRecordForA());
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("record_one_macro.xml")));
}

TEST_F(KeyAssignmentStoreTest, MixedFileRoundTripsByteForByte) {
    std::filesystem::copy_file(Fixture("record_mixed.xml"), File());
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    ASSERT_EQ(store.records().size(), 4u);
    const auto& r = store.records();
    EXPECT_EQ(r[0].group, "Macro \"fast\" & <loud>");
    EXPECT_EQ(r[0].items[1].delay, -1);
    EXPECT_EQ(r[1].code, 0x10D);
    EXPECT_EQ(r[1].type, AssignmentType::Key);
    EXPECT_EQ(r[2].code, -1);
    EXPECT_EQ(r[2].name, "\xE7\xA9\xBA\xE6\xA0\xBC");
    EXPECT_TRUE(r[2].items.empty());
    EXPECT_EQ(r[3].code, 0x7FFFFFFF);
    EXPECT_EQ(r[3].items.size(), 4u);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("record_mixed.xml")));
}

TEST_F(KeyAssignmentStoreTest, ReadingRules) {
    WriteBytes(File(),
               "<record code=\"4294967295\" type=\"7\" name=\"X\">"
               "<step code=\"-1\" state=\"2\"/><item delay=\"-1\" name=\"n\"/></record>"
               "<key code=\" 66abc\"/>");
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    ASSERT_EQ(store.records().size(), 2u);
    const KeyRecord& a = store.records()[0];
    EXPECT_EQ(a.code, -1);
    EXPECT_EQ(static_cast<int32_t>(a.type), 7);
    EXPECT_EQ(a.repeat, 0);  // missing
    EXPECT_EQ(a.group, "");
    ASSERT_EQ(a.items.size(), 2u);  // any child tag is a step
    EXPECT_EQ(a.items[0], (MacroStep{-1, 2, 0, ""}));
    EXPECT_EQ(a.items[1], (MacroStep{0, 0, -1, "n"}));
    EXPECT_EQ(store.records()[1].code, 66);  // any top-level tag is a record
}

TEST_F(KeyAssignmentStoreTest, NegativeValuesAreWrittenAsTheFileExpects) {
    KeyAssignmentStore store;
    store.Load(File());
    store.Upsert(KeyRecord{-1, AssignmentType::Key, -1, "k", "g", {{-1, 0, -1, ""}}});
    const std::string bytes = ReadBytes(File());
    EXPECT_NE(bytes.find("<record code=\"-1\" type=\"1\" repeat=\"-1\""), std::string::npos);
    EXPECT_NE(bytes.find("<item code=\"4294967295\" state=\"0\" delay=\"4294967295\""),
              std::string::npos);
    KeyAssignmentStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.records(), store.records());
}

TEST_F(KeyAssignmentStoreTest, UpsertReplacesFirstInPlaceWithoutSaving) {
    WriteBytes(File(),
               "<record code=\"1\" group=\"first\"/><record code=\"2\"/>"
               "<record code=\"1\" group=\"second\"/>");
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    const std::string before = ReadBytes(File());
    KeyRecord r{1, AssignmentType::Media, 0, "one", "new", {{175, 0, 0, ""}}};
    store.Upsert(r);
    EXPECT_EQ(ReadBytes(File()), before);  // the caller saves
    ASSERT_EQ(store.records().size(), 3u);
    EXPECT_EQ(store.records()[0], r);
    EXPECT_EQ(store.records()[2].group, "second");
    EXPECT_EQ(store.FindByCode(1), &store.records()[0]);
    EXPECT_EQ(store.FindByCode(3), nullptr);

    store.Upsert(KeyRecord{3, AssignmentType::Key, 0, "three", "", {}});
    EXPECT_EQ(store.records().back().code, 3);
    KeyAssignmentStore again;
    ASSERT_TRUE(again.Load(File()));
    EXPECT_EQ(again.records(), store.records());
}

TEST_F(KeyAssignmentStoreTest, RemoveByCodeRemovesFirstOnlyAndDoesNotSave) {
    WriteBytes(File(), "<record code=\"1\" name=\"a\"/><record code=\"1\" name=\"b\"/>");
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    const std::string before = ReadBytes(File());
    EXPECT_TRUE(store.RemoveByCode(1));
    ASSERT_EQ(store.records().size(), 1u);
    EXPECT_EQ(store.records()[0].name, "b");
    EXPECT_FALSE(store.RemoveByCode(9));
    EXPECT_EQ(ReadBytes(File()), before);
}

TEST_F(KeyAssignmentStoreTest, ClearWritesDeclarationOnly) {
    std::filesystem::copy_file(Fixture("record_mixed.xml"), File());
    KeyAssignmentStore store;
    ASSERT_TRUE(store.Load(File()));
    EXPECT_TRUE(store.Clear());
    EXPECT_EQ(ReadBytes(File()), ReadBytes(Fixture("record_empty.xml")));
    // The library reports a document without elements as unparsed; the store stays empty.
    KeyAssignmentStore again;
    EXPECT_FALSE(again.Load(File()));
    EXPECT_TRUE(again.records().empty());
}

TEST_F(KeyAssignmentStoreTest, FailedSaveKeepsRecords) {
    KeyAssignmentStore store;
    store.Load(dir_.path() / "gone" / "record.xml");
    store.Upsert(MacroRecordForA());
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(store.records().size(), 1u);
    EXPECT_FALSE(store.Clear());
    EXPECT_TRUE(store.records().empty());
}

}  // namespace
}  // namespace keydeck
