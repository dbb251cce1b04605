#include "ui/AchievementBanner.h"

#include "ui/Fonts.h"
#include "ui/HeavyText.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QVariantAnimation>
#include <QtMath>

namespace {

const QString kHeader = QStringLiteral("ACHIEVEMENT UNLOCKED");

QFont emojiFont()
{
    return Fonts::font(24);
}
QFont headerFont()
{
    return Fonts::tracked(Fonts::mono(9, QFont::ExtraBold), 1.2);
}
QFont titleFont()
{
    return Fonts::rounded(13, QFont::Black);
}

} // namespace

AchievementBanner::AchievementBanner(const QString &emoji, const QString &title, QWidget *parent)
    : QWidget(parent), m_emoji(emoji), m_title(title), m_animation(new QVariantAnimation(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_animation->setDuration(350);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_shown = v.toReal();
        update();
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        if (m_shown <= 0.0) {
            hide();
            Q_EMIT left();
        }
    });
}

void AchievementBanner::setAchievement(const QString &emoji, const QString &title)
{
    m_emoji = emoji;
    m_title = title;
    update();
}

void AchievementBanner::animateTo(qreal end)
{
    m_animation->stop();
    m_animation->setStartValue(m_shown);
    m_animation->setEndValue(end);
    m_animation->start();
}

void AchievementBanner::enter()
{
    m_shown = 0.0;
    show();
    animateTo(1.0);
}

void AchievementBanner::leave()
{
    animateTo(0.0);
}

QSize AchievementBanner::sizeHint() const
{
    const QFontMetricsF h(headerFont()), t(titleFont()), e(emojiFont());
    const qreal textWidth = qMax(h.horizontalAdvance(kHeader), t.horizontalAdvance(m_title));
    const qreal height = qMax(e.height(), h.height() + 1 + t.height());
    return QSize(qCeil(10 + e.horizontalAdvance(m_emoji) + 10 + textWidth + 10), qCeil(height + 20));
}

QSize AchievementBanner::minimumSizeHint() const
{
    return QSize(160, sizeHint().height());
}

void AchievementBanner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setOpacity(qBound<qreal>(0.0, m_shown, 1.0));
    p.translate(0, -(1.0 - m_shown) * height());
    const QRectF box = rect();
    Paint::roundedBox(p, box, 10, Theme::hazard, Theme::stickyInk, 1.5);

    const QFontMetricsF h(headerFont()), t(titleFont()), e(emojiFont());
    const QRectF inner = box.adjusted(10, 10, -10, -10);
    const qreal emojiWidth = e.horizontalAdvance(m_emoji);
    const QRectF emojiRect(inner.left(), inner.top(), emojiWidth, inner.height());
    p.drawPixmap(emojiRect.topLeft(),
                 Paint::emoji(m_emoji, emojiFont(), emojiRect.size(), Qt::AlignLeft | Qt::AlignVCenter,
                              Theme::stickyInk.resolve(), devicePixelRatioF()));
    const qreal x = inner.left() + emojiWidth + (m_emoji.isEmpty() ? 0 : 10);
    const qreal textHeight = h.height() + 1 + t.height();
    const qreal y = inner.center().y() - textHeight / 2;
    p.setFont(headerFont());
    p.setPen(Theme::stickyInk.opacity(0.7).resolve());
    p.drawText(QRectF(x, y, inner.right() - x, h.height()), Qt::AlignLeft | Qt::AlignVCenter, kHeader);
    p.setFont(titleFont());
    p.setPen(Theme::stickyInk.resolve());
    HeavyText::draw(p, QRectF(x, y + h.height() + 1, inner.right() - x, t.height()),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    t.elidedText(m_title, Qt::ElideRight, inner.right() - x));
}
