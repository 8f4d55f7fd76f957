#pragma once

#include <string>

#include <pugixml.hpp>

#include "stores/key_assignment_store.h"
#include "stores/macro_store.h"
#include "stores/xml_file.h"

namespace keydeck::testing {

// What pugixml itself writes for a store's document; the stores' own writer
// must give the same bytes.
inline void AppendReferenceStep(pugi::xml_node& parent, const MacroStep& s) {
    pugi::xml_node item = parent.append_child("item");
    item.append_attribute("code").set_value(static_cast<unsigned>(s.code));
    item.append_attribute("state").set_value(static_cast<unsigned>(s.state));
    item.append_attribute("delay").set_value(static_cast<unsigned>(s.delay));
    item.append_attribute("name").set_value(s.name.c_str());
}

inline std::string ReferenceSerialize(const MacroStore& store) {
    pugi::xml_document doc;
    pugi::xml_node c = doc.append_child("config");
    c.append_attribute("type").set_value(static_cast<int>(store.config.type));
    c.append_attribute("repeat").set_value(store.config.repeat);
    c.append_attribute("mode").set_value(store.config.mode);
    c.append_attribute("delay").set_value(store.config.delay);
    c.append_attribute("media").set_value(store.config.media);
    c.append_attribute("function").set_value(store.config.function);
    c.append_attribute("group").set_value(store.config.group);
    c.append_attribute("skcode").set_value(store.config.skcode);
    pugi::xml_node macro = doc.append_child("macro");
    for (const MacroGroup& g : store.groups()) {
        pugi::xml_node node = macro.append_child("group");
        node.append_attribute("name").set_value(g.name.c_str());
        for (const MacroStep& s : g.steps) AppendReferenceStep(node, s);
    }
    return SerializeStoreDocument(doc);
}

inline std::string ReferenceSerialize(const KeyAssignmentStore& store) {
    pugi::xml_document doc;
    for (const KeyRecord& r : store.records()) {
        pugi::xml_node node = doc.append_child("record");
        node.append_attribute("code").set_value(r.code);
        node.append_attribute("type").set_value(static_cast<int>(r.type));
        node.append_attribute("repeat").set_value(r.repeat);
        node.append_attribute("name").set_value(r.name.c_str());
        node.append_attribute("group").set_value(r.group.c_str());
        for (const MacroStep& s : r.items) AppendReferenceStep(node, s);
    }
    return SerializeStoreDocument(doc);
}

}  // namespace keydeck::testing
