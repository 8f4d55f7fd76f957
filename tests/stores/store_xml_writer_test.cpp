#include "stores/store_xml_writer.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "stores/xml_file.h"
#include "tests/stores/pugixml_reference.h"
#include "tests/stores/store_test_files.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

std::string PugiAttributeLine(const std::string& value) {
    pugi::xml_document doc;
    doc.append_child("e").append_attribute("v").set_value(value.c_str());
    return SerializeStoreDocument(doc);
}

std::string OwnAttributeLine(const std::string& value) {
    StoreXmlWriter w;
    w.Start(0, "e");
    w.Attr("v", value);
    w.EndEmpty();
    return w.Take();
}

TEST(StoreXmlWriter, EscapesEveryByteAsPugixmlDoes) {
    for (int c = 1; c < 256; ++c) {
        const std::string value = "a" + std::string(1, static_cast<char>(c)) + "b";
        EXPECT_EQ(OwnAttributeLine(value), PugiAttributeLine(value)) << "byte " << c;
    }
    for (const std::string& value :
         {std::string(), std::string("&&<<\"\"''>>"), std::string("x\0y", 3), std::string("\0", 1),
          std::string("\t\r\n\x1F"), std::string("\xE2\x80\x98 \xE7\xA9\xBA")}) {
        EXPECT_EQ(OwnAttributeLine(value), PugiAttributeLine(value));
    }
}

TEST(StoreXmlWriter, StoresMatchPugixmlForTheirDocuments) {
    TempDir dir;
    MacroStore macros;
    macros.Load(dir.path() / "macro.xml");
    EXPECT_EQ(macros.Serialize(), testing::ReferenceSerialize(macros));  // no macros
    macros.config = MacroConfig{AssignmentType::Key, -1, 2147483647, 3, -2147483647 - 1, 1, 9, 2};
    macros.AddGroup();
    macros.AddGroup();
    macros.RenameGroup(1, "q\"<&>'\t\x01");
    macros.GetGroup(1)->AppendStep(-1, 2, -5, "n\n");
    EXPECT_EQ(macros.Serialize(), testing::ReferenceSerialize(macros));

    KeyAssignmentStore records;
    records.Load(dir.path() / "record.xml");
    EXPECT_EQ(records.Serialize(), testing::ReferenceSerialize(records));  // empty
    records.Upsert(KeyRecord{-1, static_cast<AssignmentType>(9), -3, "<n>", "g&", {}});
    records.Upsert(KeyRecord{2, AssignmentType::Function, 0, "", "", {{1, 1, 1, "\""}}});
    EXPECT_EQ(records.Serialize(), testing::ReferenceSerialize(records));
}

}  // namespace
}  // namespace keydeck
