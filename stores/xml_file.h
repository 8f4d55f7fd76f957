#pragma once

#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "stores/macro_step.h"
#include "stores/store_xml_writer.h"

namespace keydeck {

// pugixml sizes a file by seeking to its end, which for a directory asks for
// an absurd allocation; only regular files (or links to them) are parsed.
bool IsReadableFile(const std::filesystem::path& file);

// Parses a store file with the default options, its bytes taken as UTF-8.
// False when the file is missing, unreadable or malformed.
bool LoadStoreDocument(pugi::xml_document& doc, const std::filesystem::path& file);

// The store file form: XML declaration, one tab per level, LF, no BOM.
std::string SerializeStoreDocument(const pugi::xml_document& doc);

// Replaces `file` atomically; false (file untouched) on failure or an empty path.
bool SaveStoreBytes(const std::filesystem::path& file, const std::string& bytes);

// Attribute readers of the store files: unsigned decimal as 32 bits, missing
// gives `missing`.
uint32_t ReadUnsigned(const pugi::xml_node& node, const char* name, uint32_t missing = 0);
inline int32_t ReadInt32(const pugi::xml_node& node, const char* name) {
    return static_cast<int32_t>(ReadUnsigned(node, name));
}

// A step from a node's "code", "name", "state" and "delay".
MacroStep ReadMacroStep(const pugi::xml_node& node);
// An empty "item" with "code", "state", "delay" (unsigned decimals) and "name".
void WriteMacroStep(StoreXmlWriter& writer, int depth, const MacroStep& step);

}  // namespace keydeck
