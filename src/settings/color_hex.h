#pragma once

#include <QColor>
#include <QString>

#include <optional>

// The text form of a stored colour: "#RRGGBB" when opaque, "#RRGGBBAA" otherwise, upper-case
// sRGB components.
QString colorHexString(const QColor& color);

// Reads "#RRGGBB", "#RRGGBBAA" or the same without "#", surrounded by any white space.
std::optional<QColor> colorFromHexString(QStringView text);
