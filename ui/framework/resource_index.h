#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <filesystem>
#include <optional>

namespace keydeck {

// An image with its state frames side by side, left to right.
struct Skin {
    QPixmap image;
    int states = 1;

    QSize FrameSize() const;
    // Frame `index`, clamped to the last frame; null for a null image.
    QPixmap Frame(int index) const;
};

// The program's resources: names such as "LAYOUT:XML_MAINWND",
// "translator:lang_cn", "main:img_keboard_normal_png" (type and name, compared
// without regard to case) mapped to files below one "uires" folder. Nothing
// outside that folder is ever opened. The index is "uires/index.xml"; the
// UI definition ("UIDEF:XML_INIT") names the string, colour and skin tables.
class ResourceIndex {
public:
    // Reads the index and the UI definition's tables; false (and an error in
    // the log) when the folder or its index is missing or broken.
    bool Load(const std::filesystem::path& uiresDir);

    const std::filesystem::path& Root() const { return root_; }
    bool Has(QStringView resource) const;
    // The file of a resource, or an empty path when it is unknown.
    std::filesystem::path FilePath(QStringView resource) const;
    // The file's bytes; empty when unknown or unreadable.
    QByteArray Read(QStringView resource) const;
    // A picture by resource name; a null pixmap when it does not load.
    QPixmap Image(QStringView resource) const;
    std::optional<Skin> FindSkin(QStringView name) const;

    // Named strings, in table order; entry 0 is the instance name.
    QString StringAt(int index) const;
    std::optional<QString> NamedString(QStringView name) const;
    std::optional<QColor> NamedColor(QStringView name) const;
    // "@string/name" becomes the named string; anything else is returned as is.
    QString ResolveString(const QString& value) const;

private:
    struct SkinEntry {
        QString image;
        int states = 1;
    };
    bool LoadValues();

    std::filesystem::path root_;
    QHash<QString, QString> files_;  // lower-case "type:name" -> path below root_
    QStringList stringNames_;
    QStringList stringValues_;
    QHash<QString, QColor> colors_;
    QHash<QString, SkinEntry> skins_;
};

}  // namespace keydeck
