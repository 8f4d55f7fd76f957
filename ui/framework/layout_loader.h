#pragma once

#include <QStringView>
#include <memory>

#include "ui/framework/widget_registry.h"

class QWidget;

namespace keydeck {

// Builds windows from the .ui layouts of the resource index. The program's
// widget kinds come from the registry; every other class is Qt's. Texts are
// translated and follow language changes. Problems (missing resource, unknown
// class, an attribute a widget rejects) are logged as errors.
class LayoutLoader {
public:
    LayoutLoader(const WidgetRegistry& registry, UiContext& context);
    // The layout's root widget, or null when it does not load.
    std::unique_ptr<QWidget> Load(QStringView resource, QWidget* parent = nullptr) const;
    // Number of problems logged by the last Load (tests check it stays 0).
    int LastProblemCount() const { return problems_; }

private:
    const WidgetRegistry& registry_;
    UiContext& context_;
    mutable int problems_ = 0;
};

}  // namespace keydeck
