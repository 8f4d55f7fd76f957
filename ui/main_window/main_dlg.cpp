#include "ui/main_window/main_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/framework/menu.h"
#include "ui/framework/widget_lookup.h"

Q_LOGGING_CATEGORY(lcMainDlg, "keydeck.mainwnd")

namespace keydeck {

CMainDlg::CMainDlg(const LayoutLoader& loader, UiContext& context, TranslatorManager& translators,
                   QString instanceName)
    : loader_(loader),
      context_(context),
      translators_(translators),
      instanceName_(std::move(instanceName)) {
    setObjectName(QStringLiteral("XML_MAINWND"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::Create() {
    auto root = loader_.Load(u"LAYOUT:XML_MAINWND", this);
    if (!root) return false;
    root_ = root.release();                // owned by this window from here on
    auto* layout = new QVBoxLayout(this);  // owned by this window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(root_);
    // The theme reaches the window's menus and boxes too, not only the layout.
    setStyleSheet(root_->styleSheet());
    setWindowTitle(root_->windowTitle());
    setWindowIcon(QIcon(context_.resources.Image(u"ICON:ICON_LOGO")));
    setMinimumSize(root_->minimumSize());
    resize(root_->size());
    return true;
}

void CMainDlg::Initialise() {
    // The mark a later start looks for; kept until the window goes.
    setProperty(kInstanceProperty, instanceName_);
    if (root_ == nullptr) return;
    new EventHub(root_, [this](const WidgetEvent& e) { OnEvent(e); });  // child of root_
    if (QWidget* title = root_->findChild<QWidget*>(QStringLiteral("title"))) {
        title->installEventFilter(this);
    }
}

void CMainDlg::CentreOnScreen() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CMainDlg::RestoreAndRaise() {
    if (isMinimized()) showNormal();
    if (!isVisible()) show();
    raise();
    activateWindow();
}

void CMainDlg::OnEvent(const WidgetEvent& event) {
    if (event.kind != WidgetEventKind::kClick) return;
    const QString& name = event.name;
    if (name == u"btn_close") {
        close();
    } else if (name == u"btn_min") {
        hide();
    } else if (name == u"btn_max") {
        showMaximized();
    } else if (name == u"btn_restore") {
        showNormal();
    } else if (name == u"zh_cn") {
        SetLanguage(true);
    } else if (name == u"jp") {
        SetLanguage(false);
    } else if (name == u"btn_more") {
        ShowMoreMenu();
    }
}

bool CMainDlg::SetLanguage(bool chinese) {
    // Qt tells every widget of the window to take its texts again.
    return translators_.SetLanguage(context_.resources, chinese);
}

QMenu* CMainDlg::ShowMoreMenu() {
    moreMenu_ = LoadMenu(context_.resources, u"SMENUEX:menu_more", this, this);
    if (!moreMenu_) return nullptr;
    QWidget* button = FindWidget(root_, 0x10001, u"imgbtn");
    // Without the button the menu opens at the window's corner.
    const QPoint at = button != nullptr ? button->mapToGlobal(QPoint(0, button->height()))
                                        : mapToGlobal(QPoint(0, 0));
    moreMenu_->popup(at);
    return moreMenu_.get();
}

void CMainDlg::OnCommand(int commandId) {
    if (commandId == kCommandClose) {
        // Posted, so the menu that chose it has closed before the window goes.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    } else if (commandId == kCommandCheckFirmware) {
        if (firmwareCheck_) firmwareCheck_();
    }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    setProperty(kInstanceProperty, QVariant());
    event->accept();
    QWidget::closeEvent(event);
    // The loop ends with this window alone: closing a message box while the
    // window is hidden must not end the program.
    QCoreApplication::exit(kQuitCode);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    // The frameless window moves by its title bar.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace keydeck
