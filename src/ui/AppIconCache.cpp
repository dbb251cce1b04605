#include "ui/AppIconCache.h"

#include "ui/Icons.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

struct State
{
    AppIconCache::Resolver resolver;
    QHash<QString, QIcon> cache;
};

State &state()
{
    static State s;
    return s;
}

QIcon themeResolver(const QString &bundleID)
{
    return QIcon::hasThemeIcon(bundleID) ? QIcon::fromTheme(bundleID) : QIcon();
}

} // namespace

void AppIconCache::setResolver(Resolver resolver)
{
    state().resolver = std::move(resolver);
}

QIcon AppIconCache::placeholder()
{
    static const QIcon icon(Icons::path(QStringLiteral("app.dashed")));
    return icon;
}

bool AppIconCache::isPlaceholder(const QIcon &icon)
{
    return icon.cacheKey() == placeholder().cacheKey();
}

QIcon AppIconCache::icon(const std::optional<QString> &bundleID)
{
    if (!bundleID)
        return placeholder();
    State &s = state();
    const auto it = s.cache.constFind(*bundleID);
    if (it != s.cache.constEnd())
        return it.value();
    const QIcon found = s.resolver ? s.resolver(*bundleID) : themeResolver(*bundleID);
    if (found.isNull())
        return placeholder();
    s.cache.insert(*bundleID, found);
    return found;
}

void AppIconCache::clear()
{
    state().cache.clear();
}

int AppIconCache::cachedCount()
{
    return int(state().cache.size());
}

AppIconView::AppIconView(const std::optional<QString> &bundleID, qreal size, QWidget *parent)
    : QWidget(parent), m_bundleID(bundleID), m_size(size)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AppIconView::setBundleID(const std::optional<QString> &bundleID)
{
    m_bundleID = bundleID;
    update();
}

QSize AppIconView::sizeHint() const
{
    return QSize(qCeil(m_size), qCeil(m_size));
}

void paintAppIcon(QPainter &p, const QRectF &box, const std::optional<QString> &bundleID, qreal dpr)
{
    const QIcon icon = AppIconCache::icon(bundleID);
    if (AppIconCache::isPlaceholder(icon)) {
        // A template symbol: drawn in the secondary text colour.
        Icons::paint(p, box, QStringLiteral("app.dashed"), Theme::dim);
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap pm = icon.pixmap(QSize(qCeil(box.width()), qCeil(box.height())), dpr);
    p.drawPixmap(box, pm, QRectF(pm.rect()));
    p.restore();
}

void AppIconView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF box(QRectF(rect()).center().x() - m_size / 2, QRectF(rect()).center().y() - m_size / 2,
                     m_size, m_size);
    paintAppIcon(p, box, m_bundleID, devicePixelRatioF());
}
