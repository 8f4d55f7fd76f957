#include "ui/framework/menu.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <pugixml.hpp>

#include "ui/framework/command_target.h"
#include "ui/framework/resource_index.h"

Q_LOGGING_CATEGORY(lcMenu, "keydeck.menu")

namespace keydeck {
namespace {

constexpr const char* kSourceText = "keydeckSourceText";

QString Translate(const QString& source) {
    return QCoreApplication::translate("", source.toUtf8().constData());
}

// Keeps a menu's texts in the current language.
class MenuRetranslator final : public QObject {
public:
    explicit MenuRetranslator(QMenu* menu) : QObject(menu), menu_(menu) {
        menu->installEventFilter(this);
    }

    static void Retranslate(QMenu* menu) {
        for (QAction* action : menu->actions()) {
            const QVariant source = action->property(kSourceText);
            if (source.isValid()) action->setText(Translate(source.toString()));
            if (action->menu() != nullptr) Retranslate(action->menu());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == menu_ && event->type() == QEvent::LanguageChange) Retranslate(menu_);
        return false;
    }

private:
    QMenu* menu_;
};

void AddItems(const pugi::xml_node& node, QMenu* menu, ICommandTarget* target) {
    for (const auto& child : node.children()) {
        const std::string_view tag = child.name();
        if (tag == "sep") {
            menu->addSeparator();
            continue;
        }
        if (tag != "item" && tag != "menuItem") continue;
        const QString source = QString::fromUtf8(child.attribute("text").as_string());
        if (child.first_child().type() == pugi::node_element) {
            QMenu* sub = menu->addMenu(Translate(source));
            sub->menuAction()->setProperty(kSourceText, source);
            AddItems(child, sub, target);
            continue;
        }
        QAction* action = menu->addAction(Translate(source));
        action->setProperty(kSourceText, source);
        const int id = child.attribute("id").as_int(0);
        action->setData(id);
        action->setEnabled(!child.attribute("disable").as_bool(false));
        if (target != nullptr) {
            QObject::connect(action, &QAction::triggered, menu,
                             [target, id] { target->OnCommand(id); });
        }
    }
}

}  // namespace

std::unique_ptr<QMenu> LoadMenu(const ResourceIndex& resources, QStringView resource,
                                ICommandTarget* target, QWidget* parent) {
    const QByteArray bytes = resources.Read(resource);
    pugi::xml_document doc;
    if (bytes.isEmpty() || !doc.load_buffer(bytes.constData(), bytes.size())) {
        qCWarning(lcMenu, "menu %s does not load", qPrintable(resource.toString()));
        return nullptr;
    }
    const auto root = doc.document_element();
    const std::string_view tag = root.name();
    if (tag != "menu" && tag != "menuRoot" && tag != "menuItem") {
        qCWarning(lcMenu, "menu %s has the top element <%s>", qPrintable(resource.toString()),
                  root.name());
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(parent);
    AddItems(root, menu.get(), target);
    new MenuRetranslator(menu.get());  // owned by the menu
    return menu;
}

}  // namespace keydeck
