#pragma once

namespace keydeck {

class WidgetRegistry;

// Registers the program's own widget kinds, in start-up's order:
// "shellnotifyicon", "cbimg", "page2", "tabctrl2", "anmimg", "editex",
// "radioex", "checkex".
void RegisterProgramWidgets(WidgetRegistry& registry);

}  // namespace keydeck
