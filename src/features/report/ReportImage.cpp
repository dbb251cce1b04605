#include "features/report/ReportImage.h"

#include "features/report/ReportCard.h"
#include "ui/Theme.h"

#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QtMath>

namespace ReportImage {

QImage render(const ReportCard &card)
{
    const QSizeF cardSize = card.size();
    if (cardSize.isEmpty())
        return {};
    const QSizeF padded = cardSize + QSizeF(2 * margin, 2 * margin);
    QImage image(qCeil(padded.width() * scale), qCeil(padded.height() * scale), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(paper);
    {
        // Whatever the app looks like, the card's palette colours resolve light.
        Theme::ScopedScheme light(ColorScheme::Light);
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        p.scale(scale, scale);
        card.paint(p, QPointF(margin, margin));
    }
    image.setDevicePixelRatio(scale);
    return image;
}

std::optional<QByteArray> pngData(const QImage &image)
{
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

void copy(const QImage &image, QClipboard &clipboard)
{
    auto *data = new QMimeData;
    data->setImageData(image);
    if (const auto png = pngData(image))
        data->setData(QStringLiteral("image/png"), *png);
    clipboard.setMimeData(data);
}

} // namespace ReportImage
