#include "ui/framework/widget_registry.h"

namespace keydeck {

void WidgetRegistry::Register(QString tag, QString className, WidgetFactory factory) {
    for (auto& entry : entries_) {
        if (entry.tag.compare(tag, Qt::CaseInsensitive) == 0 ||
            entry.className.compare(className, Qt::CaseInsensitive) == 0) {
            entry = Entry{std::move(tag), std::move(className), std::move(factory)};
            return;
        }
    }
    entries_.push_back(Entry{std::move(tag), std::move(className), std::move(factory)});
}

const WidgetRegistry::Entry* WidgetRegistry::Find(QStringView classOrTag) const {
    for (const auto& entry : entries_) {
        if (classOrTag.compare(entry.className, Qt::CaseInsensitive) == 0 ||
            classOrTag.compare(entry.tag, Qt::CaseInsensitive) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace keydeck
