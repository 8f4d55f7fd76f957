#include "app/shell/startup.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <cstring>

#include "app/app_settings.h"
#include "input/keyboard_hook.h"
#include "platform/program_directories.h"
#include "platform/single_instance.h"
#include "platform/text.h"
#include "stores/key_assignment_store.h"
#include "stores/led_effect_store.h"
#include "stores/macro_store.h"
#include "stores/side_light_store.h"
#include "ui/framework/layout_loader.h"
#include "ui/framework/qt_dispatcher.h"
#include "ui/framework/resource_index.h"
#include "ui/framework/timeline.h"
#include "ui/framework/translator.h"
#include "ui/framework/widget_registry.h"
#include "ui/main_window/main_dlg.h"
#include "ui/widgets/widget_kinds.h"

Q_LOGGING_CATEGORY(lcStartup, "keydeck.startup")

namespace keydeck {

bool StartsHidden(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], "-hid") == 0;
}

int RunKeyDeck(int argc, char** argv) {
    // OLE, the image decoder name, the renderer and decoder factories and the
    // host window class have no counterpart: Qt sets these up itself.
    // Read before Qt takes its own options out of the command line.
    const bool hidden = StartsHidden(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KeyDeck"));
    QApplication::setQuitOnLastWindowClosed(false);  // the main window ends the loop
    QtDispatcher dispatcher(&app);

    // Everything is found next to the executable, whatever the caller's directory.
    const ProgramDirectories& dirs = GetProgramDirectories();
    QDir::setCurrent(QString::fromStdString(PathToUtf8(ExecutableDirectory())));

    // Resources, the widget-ID table (compiled in) and the UI definition.
    ResourceIndex resources;
    resources.Load(dirs.resources / "uires");

    // Settings, then the interface language of the settings.
    TranslatorManager translators;
    GetAppSettings().Load();
    translators.SetLanguage(resources, GetAppSettings().chinese);

    WidgetRegistry registry;
    RegisterProgramWidgets(registry);
    Timeline timeline;
    timeline.Start();
    UiContext context{resources, timeline, dirs.resources};

    if (!IsKeyboardHookInstalled()) {
        InstallKeyboardHook(CreateSystemKeyboardHook(dispatcher));
    }

    GetMacroStore().Load(dirs.StoreFile("macro.xml"));
    GetKeyAssignmentStore().Load(dirs.StoreFile("record.xml"));
    GetSideLightStore().Load(dirs.StoreFile("sidemodel.xml"));
    GetLedEffectStore().Load(dirs.StoreFile("ledeffect.xml"));

    const QString instanceName = resources.StringAt(0);
    auto instance = ClaimSingleInstance(instanceName.toStdString());
    if (!instance->IsFirst()) {
        if (!instance->BringFirstForward(std::chrono::seconds(3))) {
            qCWarning(lcStartup, "another instance runs but did not answer");
        }
        return 0;
    }

    int result = 0;
    {
        const LayoutLoader loader(registry, context);
        CMainDlg mainDlg(loader, context, translators, instanceName);
        if (!mainDlg.Create()) qCCritical(lcStartup, "the main window has no layout");
        mainDlg.Initialise();
        mainDlg.CentreOnScreen();
        instance->MarkWindow(static_cast<std::uintptr_t>(mainDlg.winId()));
        instance->OnShowRequest([&dispatcher, &mainDlg] {
            dispatcher.Post([&mainDlg] { mainDlg.RestoreAndRaise(); });
        });
        if (!hidden) mainDlg.show();
        result = app.exec();
        // Show requests stop before the window goes.
        instance->OnShowRequest({});
        instance->UnmarkWindow();
    }
    timeline.Stop();
    // The hook's events travel through the dispatcher, which ends with this scope.
    ShutdownKeyboardHook();
    return result;
}

}  // namespace keydeck
