#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keydeck {

// Writes the store file form directly, byte for byte what pugixml writes for
// the same document with tab indentation (declaration, " />" for empty
// elements, pugixml's attribute escaping), without building a document first:
// a large macro library saves in a fraction of the time.
class StoreXmlWriter {
public:
    StoreXmlWriter();

    // "<tag" at `depth` tabs; follow with attributes, then EndEmpty or EndStart.
    void Start(int depth, std::string_view tag);
    void Attr(std::string_view name, std::string_view value);
    void Attr(std::string_view name, int32_t value);
    void Attr(std::string_view name, uint32_t value);
    void EndEmpty() { out_ += " />\n"; }
    void EndStart() { out_ += ">\n"; }
    void Close(int depth, std::string_view tag);

    void Reserve(size_t bytes) { out_.reserve(bytes); }
    std::string Take() { return std::move(out_); }

private:
    void Indent(int depth) { out_.append(static_cast<size_t>(depth), '\t'); }
    std::string out_;
};

}  // namespace keydeck
