#pragma once

#include <QString>
#include <QStringView>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "ui/framework/resource_index.h"
#include "ui/framework/timeline.h"

class QWidget;

namespace keydeck {

// What the program's widget kinds may use of the framework.
struct UiContext {
    const ResourceIndex& resources;
    Timeline& timeline;
    // Where relative data files named by layouts (the key coordinates file) live.
    std::filesystem::path programDir;
};

// Creates one widget as a child of `parent` (which owns it, Qt's way).
using WidgetFactory = std::function<QWidget*(QWidget* parent, UiContext& context)>;

// Tag -> factory. Layouts name a kind by its class name in the .ui file
// (<widget class="CoordButtonImage">); the registry also knows the tag
// ("cbimg") so either spelling finds it.
class WidgetRegistry {
public:
    struct Entry {
        QString tag;
        QString className;
        WidgetFactory factory;
    };

    // Later registrations of the same tag or class replace earlier ones.
    void Register(QString tag, QString className, WidgetFactory factory);
    // By class name or tag, without regard to case; null when unknown.
    const Entry* Find(QStringView classOrTag) const;
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// Gives a parent-owned Qt child; Qt's parent frees it.
template <class T, class... Args>
T* MakeChild(QWidget* parent, Args&&... args) {
    return new T(std::forward<Args>(args)..., parent);  // owned by `parent`
}

}  // namespace keydeck
