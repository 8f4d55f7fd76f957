#include "ui/widgets/widget_kinds.h"

#include "ui/framework/widget_registry.h"
#include "ui/widgets/anim_img.h"
#include "ui/widgets/check_box_ex.h"
#include "ui/widgets/coord_button_image.h"
#include "ui/widgets/edit_ex.h"
#include "ui/widgets/shell_notify_icon.h"
#include "ui/widgets/tab_ctrl2.h"

namespace keydeck {
namespace {

template <class T>
WidgetFactory WithContext() {
    return [](QWidget* parent, UiContext& context) -> QWidget* {
        return MakeChild<T>(parent, context);
    };
}

}  // namespace

void RegisterProgramWidgets(WidgetRegistry& registry) {
    registry.Register("shellnotifyicon", "SShellNotifyIcon", WithContext<SShellNotifyIcon>());
    registry.Register("cbimg", "CoordButtonImage", WithContext<CoordButtonImage>());
    registry.Register("page2", "STabPage2", WithContext<STabPage2>());
    registry.Register("tabctrl2", "STabCtrl2", WithContext<STabCtrl2>());
    registry.Register("anmimg", "SAnimImg", WithContext<SAnimImg>());
    registry.Register("editex", "SEditEx", [](QWidget* parent, UiContext&) -> QWidget* {
        return MakeChild<SEditEx>(parent);
    });
    registry.Register("radioex", "SRadioBoxEx", WithContext<SRadioBoxEx>());
    registry.Register("checkex", "SCheckBoxEx", WithContext<SCheckBoxEx>());
}

}  // namespace keydeck
