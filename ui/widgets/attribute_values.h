#pragma once

#include <QPoint>
#include <QString>
#include <QStringView>
#include <optional>

namespace keydeck {

// An attribute integer: decimal or "0x" hexadecimal, optional sign; none when
// the text is not wholly a number.
std::optional<int> ParseAttributeInt(QStringView text);

// Two integers "x,y" read like "%d,%d": numbers that cannot be read count as 0.
QPoint ParseAttributePoint(const QString& text);

inline bool AttributeIs(QStringView name, const char* expected) {
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

}  // namespace keydeck
