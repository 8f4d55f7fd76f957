#include "stores/side_light_store.h"

#include <pugixml.hpp>

#include "stores/xml_file.h"

namespace keydeck {

SideLightStore::SideLightStore() {
    SetFactoryValues();
}

void SideLightStore::SetFactoryValues() {
    for (int32_t m = 0; m < kSideModeCount; ++m) {
        entries_[static_cast<size_t>(m)].level = FactoryLevel(m) & 0x0F;
    }
    sel = 0;
}

bool SideLightStore::Load(const std::filesystem::path& path) {
    if (path.empty()) return false;
    path_ = path;
    pugi::xml_document doc;
    if (!LoadStoreDocument(doc, path_)) {
        ResetToDefaults();
        return false;
    }
    const pugi::xml_node effect = doc.child("effect");
    const uint32_t s = ReadUnsigned(effect, "sel");
    sel = s > static_cast<uint32_t>(kSideModeCount) ? 0 : static_cast<int32_t>(s);
    int32_t n = 0;
    for (pugi::xml_node item = effect.first_child(); item && n < kSideModeCount;
         item = item.next_sibling(), ++n) {
        const uint32_t level = ReadUnsigned(item, "brightness") & 0x0F;
        entries_[static_cast<size_t>(n)].level = (level > 7 ? 0 : level) & 0x0F;
    }
    return true;
}

bool SideLightStore::Save() {
    return SaveStoreBytes(path_, Serialize());
}

std::string SideLightStore::Serialize() const {
    pugi::xml_document doc;
    pugi::xml_node effect = doc.append_child("effect");
    effect.append_attribute("sel").set_value(sel);
    for (const SideModeEntry& e : entries_) {
        effect.append_child("item")
            .append_attribute("brightness")
            .set_value(static_cast<unsigned>(e.level));
    }
    return SerializeStoreDocument(doc);
}

SideModeEntry* SideLightStore::GetEntry(int32_t index) {
    if (index == -1) index = sel;
    if (index < 0 || index >= kSideModeCount) return nullptr;
    return &entries_[static_cast<size_t>(index)];
}

const SideModeEntry* SideLightStore::GetEntry(int32_t index) const {
    return const_cast<SideLightStore*>(this)->GetEntry(index);
}

bool SideLightStore::SetCurrent(int32_t index) {
    sel = index;
    return Save();
}

bool SideLightStore::ResetToDefaults() {
    SetFactoryValues();
    return Save();
}

SideLightStore& GetSideLightStore() {
    static SideLightStore store;
    return store;
}

}  // namespace keydeck
