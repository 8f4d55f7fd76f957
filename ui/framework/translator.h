#pragma once

#include <QHash>
#include <QString>
#include <QTranslator>
#include <memory>
#include <vector>

class QWidget;

namespace keydeck {

class ResourceIndex;

// One interface-language table: <language name="..."> with <item src="" dst=""/>
// rows. Strings are translated with an empty context: the context Qt passes
// (a layout's class, a widget's) is ignored, so one row serves every window.
class XmlTranslator final : public QTranslator {
public:
    explicit XmlTranslator(QObject* parent = nullptr) : QTranslator(parent) {}
    // Reads the table's top element "language"; false when it is missing.
    bool LoadXml(const QByteArray& xml);
    // The table's name, at most 64 characters.
    QString Name() const { return name_; }
    QString Lookup(const QString& source) const { return table_.value(source); }
    qsizetype Size() const { return table_.size(); }
    bool isEmpty() const override { return table_.isEmpty(); }
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;

private:
    QString name_;
    QHash<QString, QString> table_;
};

// Installs and swaps the interface language. Qt sends LanguageChange to every
// widget when a translator comes or goes, which the loaded layouts, menus and
// the program's widgets answer by taking their texts again.
class TranslatorManager {
public:
    ~TranslatorManager();
    // Loads "translator:lang_cn" or "translator:lang_en" and installs it in
    // place of the installed table of the same name. False when the table does
    // not load; the language then stays as it was.
    bool SetLanguage(const ResourceIndex& resources, bool chinese);
    // The installed table's name, empty when none.
    QString InstalledName() const;

private:
    std::vector<std::unique_ptr<XmlTranslator>> installed_;
};

// The current translation of an interface string (empty context).
QString Tr(const QString& source);

}  // namespace keydeck
