#include "ui/widgets/attribute_values.h"

#include <cstdio>

namespace keydeck {

std::optional<int> ParseAttributeInt(QStringView text) {
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    int value = 0;
    if (trimmed.startsWith(u"0x", Qt::CaseInsensitive)) {
        value = static_cast<int>(trimmed.mid(2).toUInt(&ok, 16));
    } else if (trimmed.startsWith(u"-0x", Qt::CaseInsensitive)) {
        value = -static_cast<int>(trimmed.mid(3).toUInt(&ok, 16));
    } else {
        value = trimmed.toInt(&ok, 10);
    }
    if (!ok) return std::nullopt;
    return value;
}

QPoint ParseAttributePoint(const QString& text) {
    int x = 0;
    int y = 0;
    std::sscanf(text.toUtf8().constData(), "%d,%d", &x, &y);
    return {x, y};
}

}  // namespace keydeck
