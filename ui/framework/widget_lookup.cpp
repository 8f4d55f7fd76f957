#include "ui/framework/widget_lookup.h"

#include <QLoggingCategory>
#include <QWidget>

#include "app/widget_ids.h"
#include "ui/framework/widget_kind.h"

Q_LOGGING_CATEGORY(lcLookup, "keydeck.lookup")

namespace keydeck {
namespace {

QWidget* ByName(QWidget* root, const QString& name) {
    if (root == nullptr) return nullptr;
    if (root->objectName() == name) return root;
    return root->findChild<QWidget*>(name);
}

QWidget* CheckKind(QWidget* widget, const QString& what, QStringView kind) {
    if (widget == nullptr) {
        qCCritical(lcLookup, "widget %s is missing from the layout", qPrintable(what));
        return nullptr;
    }
    if (!IsWidgetKind(widget, kind)) {
        qCCritical(lcLookup, "widget %s is a %s, not a \"%s\"", qPrintable(what),
                   widget->metaObject()->className(), qPrintable(kind.toString()));
        return nullptr;
    }
    return widget;
}

}  // namespace

std::optional<int> WidgetIdOf(QStringView name) {
    const QByteArray utf8 = name.toUtf8();
    const auto id = WidgetIdByName(std::string_view(utf8.constData(), utf8.size()));
    if (!id) return std::nullopt;
    return static_cast<int>(*id);
}

QWidget* FindWidget(QWidget* root, QStringView name, QStringView kind) {
    const QString text = name.toString();
    return CheckKind(ByName(root, text), u'"' + text + u'"', kind);
}

QWidget* FindWidget(QWidget* root, int id, QStringView kind) {
    const auto name = WidgetNameById(id);
    const QString what = QStringLiteral("with ID 0x%1").arg(id, 0, 16);
    if (!name) {
        qCCritical(lcLookup, "no widget name has the ID 0x%x", id);
        return nullptr;
    }
    return CheckKind(ByName(root, QString::fromUtf8(name->data(), name->size())), what, kind);
}

}  // namespace keydeck
