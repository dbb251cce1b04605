#include "features/report/ReportPreview.h"

#include "ui/Blur.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal shadowSigma = 12;   // a blur radius of 24
constexpr qreal shadowDrop = 14;    // how far it falls below the card
constexpr qreal shadowScale = 0.25; // a blurred shape needs few pixels
constexpr qreal overhang = 24;      // what a card may draw outside its size

} // namespace

ReportPreview::ReportPreview(QWidget *parent) : QWidget(parent), m_fade(new SpringAnimator(0.5, 0.85, this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_fade->jumpTo(1);
    connect(m_fade, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
    connect(m_fade, &SpringAnimator::settled, this, [this] {
        m_previous.reset();
        m_previousDrawn = {};
    });
}

QMargins ReportPreview::shadowMargins()
{
    // The blur fades out within three sigmas around the card, moved down by the drop; beside the card
    // the page's 32-point padding holds it (what is cut there is below 1% of the shadow's 25%).
    const int spread = qCeil(3 * shadowSigma);
    const int side = 32;
    return {side, qMax(qCeil(overhang), spread - qFloor(shadowDrop)), side, spread + qCeil(shadowDrop)};
}

QRectF ReportPreview::cardRect() const
{
    const QMargins m = shadowMargins();
    return {QPointF(m.left(), m.top()), m_card ? m_card->size() * m_scale : QSizeF()};
}

QSize ReportPreview::sizeHint() const
{
    const QMargins m = shadowMargins();
    const QSizeF size = m_card ? m_card->size() * m_scale : QSizeF();
    return QSize(qCeil(size.width()), qCeil(size.height())).grownBy(m);
}

void ReportPreview::setScale(qreal scale)
{
    // Whole hundredths, so a window being resized draws the card again only now and then.
    scale = qBound<qreal>(0.01, qFloor(scale * 100 + 1e-6) / 100.0, 1);
    if (qFuzzyCompare(scale, m_scale))
        return;
    m_scale = scale;
    if (m_card)
        setFixedSize(sizeHint());
    update();
}

void ReportPreview::setCard(const ReportCard &card, bool animate)
{
    const QSizeF oldSize = m_card ? m_card->size() : QSizeF();
    if (animate && m_card) {
        m_previous = m_card;
        m_previousDrawn = m_drawn;
        m_fade->jumpTo(0);
        m_fade->setTarget(1);
    }
    m_card = card;
    m_drawn = {};
    // Fixed, not only hinted: a page too short for everything scrolls rather than squeezing the card.
    if (card.size() != oldSize)
        setFixedSize(sizeHint());
    update();
}

void ReportPreview::draw(const ReportCard &card, Drawn &drawn, qreal dpr) const
{
    const bool dark = Theme::isDark();
    if (!drawn.card.isNull() && drawn.dark == dark && qFuzzyCompare(drawn.dpr, dpr) &&
        qFuzzyCompare(drawn.scale, m_scale))
        return;
    drawn.dark = dark;
    drawn.dpr = dpr;
    drawn.scale = m_scale;

    // The card and whatever it draws around itself, at the screen's resolution and the shown scale.
    const QSizeF area = card.size() + QSizeF(2 * overhang, 2 * overhang);
    QPixmap pixmap(qCeil(area.width() * m_scale * dpr), qCeil(area.height() * m_scale * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        p.scale(m_scale, m_scale);
        card.paint(p, QPointF(overhang, overhang));
    }
    drawn.card = pixmap;

    // The shadow of the whole group: its silhouette in black, blurred, at a quarter of a point per
    // pixel and with room for the blur on every side.
    const qreal pad = 3 * shadowSigma;
    const QSizeF padded = area + QSizeF(2 * pad, 2 * pad);
    QImage silhouette(qCeil(padded.width() * shadowScale), qCeil(padded.height() * shadowScale),
                      QImage::Format_ARGB32_Premultiplied);
    silhouette.fill(Qt::transparent);
    {
        QPainter p(&silhouette);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(shadowScale, shadowScale);
        p.drawPixmap(QRectF(QPointF(pad, pad), area), pixmap, pixmap.rect());
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(QRectF(QPointF(0, 0), padded), QColor(0, 0, 0, 64));
    }
    drawn.shadow = Blur::gaussian(silhouette, shadowSigma * shadowScale);
}

void ReportPreview::paintCard(QPainter &p, const Drawn &drawn, const QSizeF &size, qreal opacity) const
{
    // Laid out at the card's own size; the painter scales it with the card.
    const qreal pad = 3 * shadowSigma;
    p.setOpacity(opacity);
    p.translate(cardRect().topLeft());
    p.scale(drawn.scale, drawn.scale);
    const QSizeF area = size + QSizeF(2 * overhang, 2 * overhang);
    p.drawImage(
        QRectF(-QPointF(overhang + pad, overhang + pad - shadowDrop), area + QSizeF(2 * pad, 2 * pad)),
        drawn.shadow);
    p.drawPixmap(QRectF(-QPointF(overhang, overhang), area), drawn.card, drawn.card.rect());
    p.resetTransform();
}

void ReportPreview::paintEvent(QPaintEvent *)
{
    if (!m_card)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal dpr = devicePixelRatioF();
    const qreal t = qBound<qreal>(0, m_fade->value(), 1);
    if (m_previous && t < 1) {
        draw(*m_previous, m_previousDrawn, dpr);
        paintCard(p, m_previousDrawn, m_previous->size(), 1 - t);
    }
    draw(*m_card, m_drawn, dpr);
    paintCard(p, m_drawn, m_card->size(), m_previous ? t : 1);
}
