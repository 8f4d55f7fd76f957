#include "stores/key_assignment_store.h"

#include <algorithm>

#include <pugixml.hpp>

#include "stores/store_xml_writer.h"
#include "stores/xml_file.h"

namespace keydeck {

bool KeyAssignmentStore::Load(const std::filesystem::path& path) {
    if (path.empty()) return false;
    path_ = path;
    pugi::xml_document doc;
    if (!LoadStoreDocument(doc, path_)) return false;
    records_.clear();
    for (const pugi::xml_node& node : doc.children()) {
        if (node.type() != pugi::node_element) continue;
        KeyRecord record;
        for (const pugi::xml_node& child : node.children()) {
            record.items.push_back(ReadMacroStep(child));
        }
        record.code = ReadInt32(node, "code");
        record.type = static_cast<AssignmentType>(ReadInt32(node, "type"));
        record.repeat = ReadInt32(node, "repeat");
        record.name = node.attribute("name").value();
        record.group = node.attribute("group").value();
        records_.push_back(std::move(record));
    }
    return true;
}

bool KeyAssignmentStore::Save() {
    return SaveStoreBytes(path_, Serialize());
}

std::string KeyAssignmentStore::Serialize() const {
    StoreXmlWriter w;
    for (const KeyRecord& record : records_) {
        w.Start(0, "record");
        w.Attr("code", record.code);
        w.Attr("type", static_cast<int32_t>(record.type));
        w.Attr("repeat", record.repeat);
        w.Attr("name", record.name);
        w.Attr("group", record.group);
        if (record.items.empty()) {
            w.EndEmpty();
            continue;
        }
        w.EndStart();
        for (const MacroStep& step : record.items) WriteMacroStep(w, 1, step);
        w.Close(0, "record");
    }
    return w.Take();
}

void KeyAssignmentStore::Upsert(const KeyRecord& record) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&](const KeyRecord& r) { return r.code == record.code; });
    if (it != records_.end()) {
        *it = record;
        return;
    }
    records_.push_back(record);
    Save();
}

bool KeyAssignmentStore::RemoveByCode(int32_t code) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&](const KeyRecord& r) { return r.code == code; });
    if (it == records_.end()) return false;
    records_.erase(it);
    return true;
}

bool KeyAssignmentStore::Clear() {
    records_.clear();
    return Save();
}

const KeyRecord* KeyAssignmentStore::FindByCode(int32_t code) const {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&](const KeyRecord& r) { return r.code == code; });
    return it == records_.end() ? nullptr : &*it;
}

KeyAssignmentStore& GetKeyAssignmentStore() {
    static KeyAssignmentStore store;
    return store;
}

}  // namespace keydeck
