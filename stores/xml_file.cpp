#include "stores/xml_file.h"

#include "platform/atomic_file.h"
#include "stores/number_text.h"

namespace keydeck {
namespace {

class StringWriter final : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

private:
    std::string& out_;
};

}  // namespace

bool LoadStoreDocument(pugi::xml_document& doc, const std::filesystem::path& file) {
    const pugi::xml_parse_result result =
        doc.load_file(file.c_str(), pugi::parse_default, pugi::encoding_utf8);
    return static_cast<bool>(result);
}

std::string SerializeStoreDocument(const pugi::xml_document& doc) {
    std::string out;
    StringWriter writer(out);
    // pugixml writes the declaration `<?xml version="1.0"?>` itself when the
    // document has none, LF line ends and no BOM for UTF-8.
    doc.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return out;
}

bool SaveStoreBytes(const std::filesystem::path& file, const std::string& bytes) {
    if (file.empty()) return false;
    return WriteFileAtomically(file, bytes);
}

uint32_t ReadUnsigned(const pugi::xml_node& node, const char* name, uint32_t missing) {
    const pugi::xml_attribute attr = node.attribute(name);
    if (!attr) return missing;
    return ParseUnsignedDecimal(attr.value());
}

MacroStep ReadMacroStep(const pugi::xml_node& node) {
    MacroStep step;
    step.code = ReadInt32(node, "code");
    step.name = node.attribute("name").value();
    step.state = ReadInt32(node, "state");
    step.delay = ReadInt32(node, "delay");
    return step;
}

void AppendMacroStep(pugi::xml_node& parent, const MacroStep& step) {
    pugi::xml_node item = parent.append_child("item");
    item.append_attribute("code").set_value(static_cast<uint32_t>(step.code));
    item.append_attribute("state").set_value(static_cast<uint32_t>(step.state));
    item.append_attribute("delay").set_value(static_cast<uint32_t>(step.delay));
    item.append_attribute("name").set_value(step.name.c_str());
}

}  // namespace keydeck
