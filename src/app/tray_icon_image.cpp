#include "app/tray_icon_image.h"

#include "platform/symbol_icon.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace TrayIconImage {
namespace {

const QString kSymbol = QStringLiteral("cat.fill");

} // namespace

QImage render(int side) {
    const int outline = std::max(1, side / 16);
    // The symbol is inset by the outline so the outline is never cut off at the edges.
    const QSize symbolSize(side - 2 * outline, side - 2 * outline);
    const QImage fill = SymbolIcon::render(kSymbol, symbolSize, QColor(0xFA, 0xFA, 0xFA));
    const QImage edge = SymbolIcon::render(kSymbol, symbolSize, QColor(0x1E, 0x1E, 0x1E, 0xE6));

    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (fill.isNull())
        return image;
    QPainter painter(&image);
    for (int dx = -outline; dx <= outline; ++dx)
        for (int dy = -outline; dy <= outline; ++dy)
            if (dx != 0 || dy != 0)
                painter.drawImage(QPoint(outline + dx, outline + dy), edge);
    painter.drawImage(QPoint(outline, outline), fill);
    return image;
}

QIcon icon() {
    QIcon result;
    for (int side : {16, 22, 24, 32, 48, 64})
        result.addPixmap(QPixmap::fromImage(render(side)));
    return result;
}

} // namespace TrayIconImage
