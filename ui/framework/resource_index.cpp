#include "ui/framework/resource_index.h"

#include <QFile>
#include <QLoggingCategory>
#include <pugixml.hpp>

#include "platform/text.h"

Q_LOGGING_CATEGORY(lcResources, "keydeck.resources")

namespace keydeck {
namespace {

QString Key(QStringView resource) {
    return resource.toString().toLower();
}

QString Attr(const pugi::xml_node& node, const char* name) {
    return QString::fromUtf8(node.attribute(name).as_string());
}

// A path from a table, kept inside the folder: no absolute paths, no "..".
std::optional<std::filesystem::path> InsideRoot(const QString& relative) {
    const auto path = PathFromUtf8(relative.toStdString()).lexically_normal();
    if (path.empty() || path.is_absolute() || path.has_root_name() || path.has_root_directory()) {
        return std::nullopt;
    }
    for (const auto& part : path) {
        if (part == "..") return std::nullopt;
    }
    return path;
}

}  // namespace

QSize Skin::FrameSize() const {
    if (image.isNull()) return {};
    const int count = std::max(1, states);
    return QSize(image.width() / count, image.height());
}

QPixmap Skin::Frame(int index) const {
    if (image.isNull()) return {};
    const int count = std::max(1, states);
    const int clamped = std::clamp(index, 0, count - 1);
    const QSize size = FrameSize();
    return image.copy(clamped * size.width(), 0, size.width(), size.height());
}

bool ResourceIndex::Load(const std::filesystem::path& uiresDir) {
    root_ = uiresDir;
    files_.clear();
    const auto indexPath = uiresDir / "index.xml";
    pugi::xml_document doc;
    const auto result = doc.load_file(indexPath.c_str());
    if (!result) {
        qCCritical(lcResources, "cannot read the resource index %s: %s",
                   PathToUtf8(indexPath).c_str(), result.description());
        return false;
    }
    for (const auto& file : doc.child("resources").children("file")) {
        const QString type = Attr(file, "type");
        const QString name = Attr(file, "name");
        const QString path = Attr(file, "path");
        if (type.isEmpty() || name.isEmpty() || !InsideRoot(path)) {
            qCWarning(lcResources, "index entry %s:%s with path \"%s\" ignored", qPrintable(type),
                      qPrintable(name), qPrintable(path));
            continue;
        }
        files_.insert(Key(QString(type + u':' + name)), path);
    }
    return LoadValues();
}

bool ResourceIndex::LoadValues() {
    stringNames_.clear();
    stringValues_.clear();
    colors_.clear();
    skins_.clear();
    pugi::xml_document uidef;
    const auto uidefPath = FilePath(u"UIDEF:XML_INIT");
    if (uidefPath.empty() || !uidef.load_file(uidefPath.c_str())) {
        qCCritical(lcResources, "the UI definition UIDEF:XML_INIT is missing or broken");
        return false;
    }
    const auto root = uidef.child("uidef");
    pugi::xml_document table;
    auto loadTable = [&](const char* element) -> pugi::xml_node {
        const QString src = Attr(root.child(element), "src");
        const auto path = FilePath(src);
        if (src.isEmpty() || path.empty() || !table.load_file(path.c_str())) {
            qCWarning(lcResources, "the UI definition's %s table \"%s\" does not load", element,
                      qPrintable(src));
            return {};
        }
        return table.first_child();
    };
    for (const auto& item : loadTable("string").children()) {
        stringNames_.push_back(Attr(item, "name"));
        stringValues_.push_back(Attr(item, "value"));
    }
    for (const auto& item : loadTable("color").children()) {
        const QColor color = QColor::fromString(Attr(item, "value"));
        if (color.isValid()) colors_.insert(Key(Attr(item, "name")), color);
    }
    for (const auto& item : loadTable("skin").children()) {
        skins_.insert(
            Key(Attr(item, "name")),
            SkinEntry{Attr(item, "src"), std::max(1, item.attribute("states").as_int(1))});
    }
    return !stringValues_.isEmpty();
}

bool ResourceIndex::Has(QStringView resource) const {
    return files_.contains(Key(resource));
}

std::filesystem::path ResourceIndex::FilePath(QStringView resource) const {
    const auto it = files_.constFind(Key(resource));
    if (it == files_.constEnd()) return {};
    return root_ / *InsideRoot(*it);
}

QByteArray ResourceIndex::Read(QStringView resource) const {
    const auto path = FilePath(resource);
    if (path.empty()) {
        qCWarning(lcResources, "unknown resource %s", qPrintable(resource.toString()));
        return {};
    }
    QFile file(QString::fromStdString(PathToUtf8(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcResources, "cannot read %s", qPrintable(file.fileName()));
        return {};
    }
    return file.readAll();
}

QPixmap ResourceIndex::Image(QStringView resource) const {
    QPixmap pixmap;
    const QByteArray bytes = Read(resource);
    if (bytes.isEmpty() || !pixmap.loadFromData(bytes)) {
        qCWarning(lcResources, "image %s does not load", qPrintable(resource.toString()));
        return {};
    }
    return pixmap;
}

std::optional<Skin> ResourceIndex::FindSkin(QStringView name) const {
    const auto it = skins_.constFind(Key(name));
    if (it == skins_.constEnd()) {
        qCWarning(lcResources, "unknown skin %s", qPrintable(name.toString()));
        return std::nullopt;
    }
    Skin skin{Image(it->image), it->states};
    if (skin.image.isNull()) return std::nullopt;
    return skin;
}

QString ResourceIndex::StringAt(int index) const {
    return index >= 0 && index < stringValues_.size() ? stringValues_[index] : QString();
}

std::optional<QString> ResourceIndex::NamedString(QStringView name) const {
    for (qsizetype i = 0; i < stringNames_.size(); ++i) {
        if (name.compare(stringNames_[i], Qt::CaseInsensitive) == 0) return stringValues_[i];
    }
    return std::nullopt;
}

std::optional<QColor> ResourceIndex::NamedColor(QStringView name) const {
    const auto it = colors_.constFind(Key(name));
    if (it == colors_.constEnd()) return std::nullopt;
    return *it;
}

QString ResourceIndex::ResolveString(const QString& value) const {
    static const QString prefix = QStringLiteral("@string/");
    if (!value.startsWith(prefix)) return value;
    return NamedString(QStringView(value).mid(prefix.size())).value_or(value);
}

}  // namespace keydeck
