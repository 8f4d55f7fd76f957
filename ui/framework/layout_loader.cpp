#include "ui/framework/layout_loader.h"

#include <QBuffer>
#include <QDir>
#include <QLoggingCategory>
#include <QUiLoader>
#include <QWidget>

#include "platform/text.h"
#include "ui/framework/widget_kind.h"

Q_LOGGING_CATEGORY(lcLayout, "keydeck.layout")

namespace keydeck {
namespace {

class RegistryUiLoader final : public QUiLoader {
public:
    RegistryUiLoader(const WidgetRegistry& registry, UiContext& context, int& problems)
        : registry_(registry), context_(context), problems_(problems) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (const auto* entry = registry_.Find(className)) {
            QWidget* widget = entry->factory(parent, context_);
            if (widget == nullptr) {
                qCCritical(lcLayout, "the factory of %s gave no widget for \"%s\"",
                           qPrintable(className), qPrintable(name));
                ++problems_;
                return nullptr;
            }
            widget->setObjectName(name);
            return widget;
        }
        QWidget* widget = QUiLoader::createWidget(className, parent, name);
        if (widget == nullptr) {
            qCCritical(lcLayout, "unknown widget class %s for \"%s\"", qPrintable(className),
                       qPrintable(name));
            ++problems_;
        }
        return widget;
    }

private:
    const WidgetRegistry& registry_;
    UiContext& context_;
    int& problems_;
};

// Hands the layout's dynamic properties to the program's kinds, then lets each
// finish its creation.
void DeliverAttributes(QWidget* root, int& problems) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        auto* kind = dynamic_cast<IWidgetKind*>(widget);
        if (kind == nullptr) continue;
        for (const QByteArray& name : widget->dynamicPropertyNames()) {
            if (name.startsWith("_q_")) continue;  // Qt's own bookkeeping
            const QString value = widget->property(name.constData()).toString();
            const auto result = kind->SetAttribute(QString::fromLatin1(name), value);
            if (result != AttributeResult::kApplied) {
                qCCritical(lcLayout, "\"%s\": %s attribute %s=\"%s\"",
                           qPrintable(widget->objectName()),
                           result == AttributeResult::kUnknown ? "unknown" : "bad value for",
                           name.constData(), qPrintable(value));
                ++problems;
            }
        }
        kind->OnCreated();
    }
}

}  // namespace

LayoutLoader::LayoutLoader(const WidgetRegistry& registry, UiContext& context)
    : registry_(registry), context_(context) {}

std::unique_ptr<QWidget> LayoutLoader::Load(QStringView resource, QWidget* parent) const {
    problems_ = 0;
    QByteArray bytes = context_.resources.Read(resource);
    if (bytes.isEmpty()) {
        qCCritical(lcLayout, "layout %s is missing", qPrintable(resource.toString()));
        ++problems_;
        return nullptr;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    RegistryUiLoader loader(registry_, context_, problems_);
    loader.setLanguageChangeEnabled(true);
    loader.setTranslationEnabled(true);
    // Nothing a layout names may come from outside the resource folder.
    loader.clearPluginPaths();
    loader.setWorkingDirectory(QDir(QString::fromStdString(PathToUtf8(context_.resources.Root()))));
    std::unique_ptr<QWidget> root(loader.load(&buffer, parent));
    if (root == nullptr) {
        qCCritical(lcLayout, "layout %s does not load: %s", qPrintable(resource.toString()),
                   qPrintable(loader.errorString()));
        ++problems_;
        return nullptr;
    }
    DeliverAttributes(root.get(), problems_);
    return root;
}

}  // namespace keydeck
