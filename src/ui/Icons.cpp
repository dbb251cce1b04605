#include "ui/Icons.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QtMath>

static void initIconResources()
{
    // The icons live in a static library; make sure its resources are registered.
    Q_INIT_RESOURCE(icons);
}

namespace Icons {

namespace {

void ensureResources()
{
    static bool initialised = (initIconResources(), true);
    Q_UNUSED(initialised);
}

QSvgRenderer *renderer(const QString &name)
{
    ensureResources();
    static QHash<QString, QSvgRenderer *> cache;
    auto it = cache.find(name);
    if (it != cache.end())
        return it.value();
    QSvgRenderer *r = nullptr;
    if (QFile::exists(path(name))) {
        r = new QSvgRenderer(path(name));
        if (!r->isValid()) {
            delete r;
            r = nullptr;
        }
    }
    cache.insert(name, r);
    return r;
}

} // namespace

QString path(const QString &name)
{
    ensureResources();
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QStringList names()
{
    ensureResources();
    QStringList list;
    for (const QString &file :
         QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files))
        list << file.chopped(4);
    return list;
}

bool has(const QString &name)
{
    return renderer(name) != nullptr;
}

QPixmap pixmap(const QString &name, int size, const QColor &color, qreal dpr)
{
    // Lists draw the same few symbols in every row of every frame; rendering an SVG costs far more.
    const QString key = QStringLiteral("gx-icon:%1:%2:%3:%4").arg(name).arg(size).arg(color.rgba()).arg(dpr);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QSvgRenderer *r = renderer(name);
    const int px = qMax(1, qCeil(size * dpr));
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (r) {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        r->render(&p, QRectF(0, 0, px, px));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(img.rect(), color);
    }
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pm);
    return pm;
}

void paint(QPainter &p, const QRectF &rect, const QString &name, const QColor &color)
{
    if (!renderer(name) || rect.isEmpty())
        return;
    const qreal side = qMin(rect.width(), rect.height());
    const qreal dpr = qMax<qreal>(1.0, p.device() ? p.device()->devicePixelRatioF() : 1.0);
    const qreal scale = qMax<qreal>(dpr, qSqrt(qAbs(p.transform().determinant())) * dpr);
    const QPixmap pm = pixmap(name, qCeil(side), color, scale);
    const QRectF target(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(target, pm, QRectF(pm.rect()));
    p.restore();
}

} // namespace Icons
