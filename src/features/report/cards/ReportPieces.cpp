#include "features/report/cards/ReportPieces.h"

#include "features/report/cards/CardText.h"
#include "ui/Blur.h"
#include "ui/MiniButton.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QCache>
#include <QPainter>
#include <QPen>
#include <QtMath>
#include <cmath>

namespace ReportPieces {

namespace {

constexpr qreal kButtonRatio = 1.55;
constexpr qreal kMarkSpacing = 6;

CardFont markFont(qreal size)
{
    return CardFont::make(size, QFont::Black, Fonts::Design::Condensed);
}

QString markText()
{
    return QStringLiteral("GRUMBLIX");
}

} // namespace

QSizeF watermarkSize(qreal size)
{
    const CardFont font = markFont(size);
    const qreal button = kButtonRatio * size;
    return {button + kMarkSpacing + font.width(markText()), qMax(button, font.height())};
}

QRectF watermark(CardDrawing &d, QPointF topLeft, qreal size, const QColor &color, ButtonSkin skin)
{
    const QSizeF total = watermarkSize(size);
    const qreal button = kButtonRatio * size;
    const QRectF buttonRect(topLeft.x(), topLeft.y() + (total.height() - button) / 2, button, button);
    d.add([buttonRect, skin](QPainter &p) {
        // The app's ink, resolved while painting: the export forces its scheme around the paint.
        const QColor ink = Theme::ink;
        paintCached(
            p, buttonRect, QStringLiteral("mark-button:%1:%2").arg(skin.rawValue()).arg(ink.rgba()),
            [buttonRect, skin, ink](QPainter &lp) { paintMiniButton(lp, buttonRect, skin.palette(), ink); });
    });
    const CardFont font = markFont(size);
    CardType::line(
        d, font, color, markText(),
        QPointF(buttonRect.right() + kMarkSpacing, topLeft.y() + (total.height() - font.height()) / 2));
    const QRectF rect(topLeft, total);
    d.setPart(QStringLiteral("watermark"), rect);
    d.setPart(QStringLiteral("watermark.button"), buttonRect);
    return rect;
}

QPainterPath dashedLinePath(const QRectF &rect)
{
    QPainterPath path;
    path.moveTo(0, rect.center().y());
    path.lineTo(rect.right(), rect.center().y());
    return path;
}

void dashed(CardDrawing &d, const QRectF &frame, const QColor &color, const QList<qreal> &dash)
{
    d.add([frame, color, dash](QPainter &p) {
        QPen pen(color, 1.0, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        pen.setDashPattern(dash);
        pen.setDashOffset(0);
        p.translate(frame.topLeft());
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(dashedLinePath(QRectF(QPointF(0, 0), frame.size())));
    });
}

QColor faded(QColor color, qreal factor)
{
    color.setAlphaF(color.alphaF() * factor);
    return color;
}

void fill(CardDrawing &d, const QRectF &rect, const QColor &color, qreal radius)
{
    d.add([rect, color, radius](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        if (radius > 0)
            p.drawPath(Paint::roundedRect(rect, radius));
        else
            p.drawRect(rect);
    });
}

void frame(CardDrawing &d, const QRectF &rect, qreal width, const QColor &color, qreal radius)
{
    d.add([rect, width, color, radius](QPainter &p) {
        QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRectF inside = rect.adjusted(width / 2, width / 2, -width / 2, -width / 2);
        if (radius > 0)
            p.drawPath(Paint::roundedRect(inside, radius - width / 2));
        else
            p.drawRect(inside);
    });
}

void dropShadow(CardDrawing &d, const QPainterPath &shape, const QSizeF &size, const QString &cacheKey)
{
    d.add([shape, size, cacheKey](QPainter &p) {
        const QPointF offset(0, 6);
        // A Gaussian of 5 points reaches about 15 beyond the shape: within the 24 the export adds.
        Blur::paintBlurred(
            p, QRectF(offset, size), 5,
            [shape, offset](QPainter &lp) {
                lp.setRenderHint(QPainter::Antialiasing);
                lp.setPen(Qt::NoPen);
                lp.setBrush(QColor(0, 0, 0, qRound(0.18 * 255)));
                lp.drawPath(shape.translated(offset));
            },
            cacheKey);
    });
}

CardDrawing paperSheet(const QSizeF &size, const QColor &fill, const QColor &border)
{
    const QRectF page(QPointF(0, 0), size);
    CardDrawing d;
    d.setSize(size);
    QPainterPath shape;
    shape.addRect(page);
    dropShadow(d, shape, size, QStringLiteral("report-page-shadow"));
    ReportPieces::fill(d, page, fill);
    frame(d, page, 1, border);
    return d;
}

QString verdictParagraph(const WeeklyReport &report)
{
    QString text = report.verdict;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

void paintCached(QPainter &p, const QRectF &rect, const QString &key,
                 const std::function<void(QPainter &)> &draw)
{
    static QCache<QString, QImage> images(32);
    const qreal scale = qMax<qreal>(0.01, std::sqrt(qAbs(p.deviceTransform().determinant())));
    const QString full =
        QStringLiteral("%1|%2x%3|%4").arg(key).arg(rect.width()).arg(rect.height()).arg(scale);
    QImage *image = images.object(full);
    if (!image) {
        image = new QImage(qCeil(rect.width() * scale), qCeil(rect.height() * scale),
                           QImage::Format_ARGB32_Premultiplied);
        image->fill(Qt::transparent);
        {
            QPainter ip(image);
            ip.setRenderHint(QPainter::Antialiasing);
            ip.scale(scale, scale);
            ip.translate(-rect.topLeft());
            draw(ip);
        }
        images.insert(full, image);
    }
    p.drawImage(QRectF(rect.topLeft(), QSizeF(image->width() / scale, image->height() / scale)), *image);
}

void cached(CardDrawing &d, const QRectF &rect, const QString &key, std::function<void(QPainter &)> draw)
{
    d.add([rect, key, draw](QPainter &p) { paintCached(p, rect, key, draw); });
}

int weekNumber(const WeeklyReport &report)
{
    return report.interval.start.date().weekNumber();
}

} // namespace ReportPieces
