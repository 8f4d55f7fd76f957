#include "stores/xml_file.h"

#include <cstring>

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

bool IsReadableFile(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

bool LoadStoreDocument(pugi::xml_document& doc, const std::filesystem::path& file) {
    if (!IsReadableFile(file)) return false;
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
    // One pass over the attributes; the first of a name counts, as with
    // node.attribute(name).
    MacroStep step;
    bool code = false, name = false, state = false, delay = false;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char* n = a.name();
        // Dispatch on the first letter: this loop is most of a large load.
        switch (n[0]) {
            case 'c':
                if (!code && std::strcmp(n + 1, "ode") == 0) {
                    code = true;
                    step.code = static_cast<int32_t>(ParseUnsignedDecimal(a.value()));
                }
                break;
            case 's':
                if (!state && std::strcmp(n + 1, "tate") == 0) {
                    state = true;
                    step.state = static_cast<int32_t>(ParseUnsignedDecimal(a.value()));
                }
                break;
            case 'd':
                if (!delay && std::strcmp(n + 1, "elay") == 0) {
                    delay = true;
                    step.delay = static_cast<int32_t>(ParseUnsignedDecimal(a.value()));
                }
                break;
            case 'n':
                if (!name && std::strcmp(n + 1, "ame") == 0) {
                    name = true;
                    step.name = a.value();
                }
                break;
            default:
                break;
        }
    }
    return step;
}

void WriteMacroStep(StoreXmlWriter& writer, int depth, const MacroStep& step) {
    writer.Start(depth, "item");
    writer.Attr("code", static_cast<uint32_t>(step.code));
    writer.Attr("state", static_cast<uint32_t>(step.state));
    writer.Attr("delay", static_cast<uint32_t>(step.delay));
    writer.Attr("name", step.name);
    writer.EndEmpty();
}

}  // namespace keydeck
