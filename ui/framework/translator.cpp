#include "ui/framework/translator.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <pugixml.hpp>

#include "ui/framework/resource_index.h"

Q_LOGGING_CATEGORY(lcTranslator, "keydeck.translator")

namespace keydeck {

bool XmlTranslator::LoadXml(const QByteArray& xml) {
    pugi::xml_document doc;
    if (xml.isEmpty() || !doc.load_buffer(xml.constData(), xml.size())) return false;
    const auto language = doc.child("language");
    if (!language) return false;
    name_ = QString::fromUtf8(language.attribute("name").as_string()).left(64);
    table_.clear();
    for (const auto& item : language.children("item")) {
        const QString src = QString::fromUtf8(item.attribute("src").as_string());
        if (!src.isEmpty())
            table_.insert(src, QString::fromUtf8(item.attribute("dst").as_string()));
    }
    return true;
}

QString XmlTranslator::translate(const char* /*context*/, const char* sourceText,
                                 const char* /*disambiguation*/, int /*n*/) const {
    if (sourceText == nullptr) return {};
    return table_.value(QString::fromUtf8(sourceText));
}

TranslatorManager::~TranslatorManager() {
    for (const auto& translator : installed_) QCoreApplication::removeTranslator(translator.get());
}

bool TranslatorManager::SetLanguage(const ResourceIndex& resources, bool chinese) {
    const auto resource = chinese ? u"translator:lang_cn" : u"translator:lang_en";
    auto translator = std::make_unique<XmlTranslator>();
    if (!translator->LoadXml(resources.Read(resource))) {
        qCWarning(lcTranslator, "translation table %s does not load",
                  qPrintable(QString::fromUtf16(resource)));
        return false;
    }
    for (auto it = installed_.begin(); it != installed_.end();) {
        if ((*it)->Name() == translator->Name()) {
            QCoreApplication::removeTranslator(it->get());
            it = installed_.erase(it);
        } else {
            ++it;
        }
    }
    QCoreApplication::installTranslator(translator.get());
    installed_.push_back(std::move(translator));
    return true;
}

QString TranslatorManager::InstalledName() const {
    return installed_.empty() ? QString() : installed_.back()->Name();
}

QString Tr(const QString& source) {
    return QCoreApplication::translate("", source.toUtf8().constData());
}

}  // namespace keydeck
