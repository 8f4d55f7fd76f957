#include "stores/led_effect_store.h"

#include <pugixml.hpp>

#include "stores/xml_file.h"

namespace keydeck {
namespace {

// The entry values keep only their low 8 bits before the range test.
uint8_t ReadByte(const pugi::xml_node& node, const char* name, uint32_t missing = 0) {
    return static_cast<uint8_t>(ReadUnsigned(node, name, missing) & 0xFF);
}

LedEffectEntry ReadEntry(const pugi::xml_node& item) {
    LedEffectEntry e;
    e.speed = ReadByte(item, "speed");
    if (e.speed > 2) e.speed = 1;
    e.brightness = ReadByte(item, "brightness");
    if (e.brightness > 5) e.brightness = 5;
    e.deriction = ReadByte(item, "deriction");
    if (e.deriction > 1) e.deriction = 0;
    // Kept as read: the panel writes 0..2 and the report maps what it knows.
    e.selection = ReadByte(item, "selection", 1);
    return e;
}

}  // namespace

LedEffectStore::LedEffectStore() {
    SetFactoryValues();
}

void LedEffectStore::SetFactoryValues() {
    entries_.fill(LedEffectEntry{});
    sel = kFactorySel;
}

bool LedEffectStore::Load(const std::filesystem::path& path) {
    if (path.empty()) return false;
    path_ = path;
    pugi::xml_document doc;
    if (!LoadStoreDocument(doc, path_)) {
        SetFactoryValues();
        Save();
        return false;
    }
    const pugi::xml_node effect = doc.child("effect");
    const uint32_t s = ReadUnsigned(effect, "sel");
    sel = s > static_cast<uint32_t>(kEffectCount) ? 0 : static_cast<int32_t>(s);
    int32_t n = 0;
    for (pugi::xml_node item = effect.first_child(); item && n < kEffectCount;
         item = item.next_sibling(), ++n) {
        entries_[static_cast<size_t>(n)] = ReadEntry(item);
    }
    return true;
}

bool LedEffectStore::Save() {
    return SaveStoreBytes(path_, Serialize());
}

std::string LedEffectStore::Serialize() const {
    pugi::xml_document doc;
    pugi::xml_node effect = doc.append_child("effect");
    effect.append_attribute("sel").set_value(sel);
    for (const LedEffectEntry& e : entries_) {
        pugi::xml_node item = effect.append_child("item");
        item.append_attribute("speed").set_value(static_cast<unsigned>(e.speed));
        item.append_attribute("brightness").set_value(static_cast<unsigned>(e.brightness));
        item.append_attribute("deriction").set_value(static_cast<unsigned>(e.deriction));
        item.append_attribute("selection").set_value(static_cast<unsigned>(e.selection));
    }
    return SerializeStoreDocument(doc);
}

LedEffectEntry* LedEffectStore::GetEntry(int32_t index) {
    if (index == -1) index = sel;
    if (index < 0 || index >= kEffectCount) return nullptr;
    return &entries_[static_cast<size_t>(index)];
}

const LedEffectEntry* LedEffectStore::GetEntry(int32_t index) const {
    return const_cast<LedEffectStore*>(this)->GetEntry(index);
}

bool LedEffectStore::SetCurrent(int32_t index) {
    sel = index;
    return Save();
}

bool LedEffectStore::ResetToDefaults() {
    SetFactoryValues();
    return Save();
}

LedEffectStore& GetLedEffectStore() {
    static LedEffectStore store;
    return store;
}

}  // namespace keydeck
