#include "stores/macro_store.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <pugixml.hpp>

#include "stores/store_xml_writer.h"
#include "stores/xml_file.h"

namespace keydeck {

void MacroGroup::AppendStep(int32_t code, int32_t state, int32_t delay, std::string stepName) {
    steps.push_back(MacroStep{code, state, delay, std::move(stepName)});
}

void MacroGroup::DeleteStep(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= steps.size()) return;
    steps.erase(steps.begin() + index);
}

bool MacroGroup::MoveStepUp(int32_t index) {
    if (index < 1 || static_cast<size_t>(index) >= steps.size()) return false;
    std::swap(steps[static_cast<size_t>(index)], steps[static_cast<size_t>(index) - 1]);
    return true;
}

bool MacroGroup::MoveStepDown(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) + 1 >= steps.size()) return false;
    std::swap(steps[static_cast<size_t>(index)], steps[static_cast<size_t>(index) + 1]);
    return true;
}

bool MacroStore::Load(const std::filesystem::path& path) {
    if (path.empty()) return false;
    path_ = path;
    pugi::xml_document doc;
    if (!LoadStoreDocument(doc, path_)) return false;
    groups_.clear();
    if (const pugi::xml_node macro = doc.child("macro")) {
        for (const pugi::xml_node& node : macro.children()) {
            MacroGroup group;
            group.steps.reserve(
                static_cast<size_t>(std::distance(node.children().begin(), node.children().end())));
            for (const pugi::xml_node& child : node.children()) {
                group.steps.push_back(ReadMacroStep(child));
            }
            group.name = node.attribute("name").value();
            groups_.push_back(std::move(group));
        }
    }
    if (const pugi::xml_node c = doc.child("config")) {
        config.type = static_cast<AssignmentType>(ReadInt32(c, "type"));
        config.repeat = ReadInt32(c, "repeat");
        config.delay = ReadInt32(c, "delay");
        config.mode = ReadInt32(c, "mode");
        config.media = ReadInt32(c, "media");
        config.function = ReadInt32(c, "function");
        config.group = ReadInt32(c, "group");
        config.skcode = ReadInt32(c, "skcode");
    }
    return true;
}

bool MacroStore::Save() {
    return SaveStoreBytes(path_, Serialize());
}

std::string MacroStore::Serialize() const {
    StoreXmlWriter w;
    w.Reserve(256 + groups_.size() * 64 + StepCount() * 64);
    w.Start(0, "config");
    w.Attr("type", static_cast<int32_t>(config.type));
    w.Attr("repeat", config.repeat);
    w.Attr("mode", config.mode);
    w.Attr("delay", config.delay);
    w.Attr("media", config.media);
    w.Attr("function", config.function);
    w.Attr("group", config.group);
    w.Attr("skcode", config.skcode);
    w.EndEmpty();
    w.Start(0, "macro");
    if (groups_.empty()) {
        w.EndEmpty();
        return w.Take();
    }
    w.EndStart();
    for (const MacroGroup& group : groups_) {
        w.Start(1, "group");
        w.Attr("name", group.name);
        if (group.steps.empty()) {
            w.EndEmpty();
            continue;
        }
        w.EndStart();
        for (const MacroStep& step : group.steps) WriteMacroStep(w, 2, step);
        w.Close(1, "group");
    }
    w.Close(0, "macro");
    return w.Take();
}

size_t MacroStore::StepCount() const {
    size_t n = 0;
    for (const MacroGroup& g : groups_) n += g.steps.size();
    return n;
}

bool MacroStore::AddGroup() {
    size_t n = groups_.size();
    std::string name;
    for (;; ++n) {
        name = "Macro " + std::to_string(n);
        const bool taken = std::any_of(groups_.begin(), groups_.end(),
                                       [&](const MacroGroup& g) { return g.name == name; });
        if (!taken) break;
    }
    groups_.push_back(MacroGroup{std::move(name), {}});
    return Save();
}

bool MacroStore::DeleteGroup(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= groups_.size()) return false;
    groups_.erase(groups_.begin() + index);
    Save();
    return true;
}

bool MacroStore::RenameGroup(int32_t index, std::string_view name) {
    if (index < 0 || static_cast<size_t>(index) >= groups_.size()) return false;
    MacroGroup& group = groups_[static_cast<size_t>(index)];
    if (group.name == name) return false;
    group.name = std::string(name);
    Save();
    return true;
}

MacroGroup* MacroStore::GetGroup(int32_t index) {
    if (index < 0) index = config.group;
    if (index < 0 || static_cast<size_t>(index) >= groups_.size()) return nullptr;
    return &groups_[static_cast<size_t>(index)];
}

const MacroGroup* MacroStore::GetGroup(int32_t index) const {
    return const_cast<MacroStore*>(this)->GetGroup(index);
}

MacroStore& GetMacroStore() {
    static MacroStore store;
    return store;
}

}  // namespace keydeck
