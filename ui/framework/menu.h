#pragma once

#include <QStringView>
#include <memory>

class QMenu;
class QWidget;

namespace keydeck {

class ICommandTarget;
class ResourceIndex;

// Builds a menu from an XML menu resource ("SMENUEX:menu_more",
// "SMENU:menu_tray"). Top element "menu" (plain) or "menuRoot"/"menuItem"
// (extended); items are <item id="6" text="Exit"/>, <sep/> and nested <item>
// with children for submenus. Texts pass through the translator and follow
// language changes. A chosen item calls target.OnCommand(id). Null when the
// resource is missing or its top element is none of the above.
std::unique_ptr<QMenu> LoadMenu(const ResourceIndex& resources, QStringView resource,
                                ICommandTarget* target, QWidget* parent = nullptr);

}  // namespace keydeck
