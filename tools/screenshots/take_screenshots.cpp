// Renders the main window in each interface language to PNG files, the way
// start-up builds it, without a display:
//   take_screenshots <program dir holding uires> <output folder> [scale]

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "ui/framework/layout_loader.h"
#include "ui/framework/resource_index.h"
#include "ui/framework/timeline.h"
#include "ui/framework/translator.h"
#include "ui/main_window/main_dlg.h"
#include "ui/widgets/widget_kinds.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <program dir> <output folder> [scale]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path programDir = argv[1];
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    if (argc > 3) qputenv("QT_SCALE_FACTOR", argv[3]);
    QApplication app(argc, argv);
    using namespace keydeck;
    ResourceIndex resources;
    if (!resources.Load(programDir / "uires")) return 1;
    WidgetRegistry registry;
    RegisterProgramWidgets(registry);
    Timeline timeline;
    UiContext context{resources, timeline, programDir};
    TranslatorManager translators;
    const LayoutLoader loader(registry, context);
    CMainDlg window(loader, context, translators, resources.StringAt(0));
    if (!window.Create()) return 1;
    window.Initialise();
    window.show();
    const QString suffix = argc > 3 ? QStringLiteral("_x%1").arg(argv[3]) : QString();
    for (const bool chinese : {false, true}) {
        if (!window.SetLanguage(chinese)) return 1;
        QApplication::processEvents();
        const QString file = QDir(outDir).filePath(
            QStringLiteral("main_%1%2.png").arg(chinese ? "cn" : "en", suffix));
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
