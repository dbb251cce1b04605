#include "ui/GXToggles.h"

#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal kSwitchW = 42, kSwitchH = 24;
// Between a switch's label and the switch.
constexpr int kLabelGap = 24;
constexpr int kLabelFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

QFont labelFont()
{
    return Fonts::rounded(13, QFont::DemiBold);
}

} // namespace

void paintGXSwitch(QPainter &p, const QPointF &topLeft, qreal on)
{
    const qreal t = qBound<qreal>(0.0, on, 1.0);
    const QRectF track(topLeft, QSizeF(kSwitchW, kSwitchH));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    Paint::slab(p, track, kSwitchH / 2, QPointF(0, 2), Theme::shadow);
    Paint::roundedBox(p, track, kSwitchH / 2, Paint::mix(Theme::well, Theme::red, t), Theme::stroke, 1.5);
    // The knob slides with the spring (it may overshoot a little).
    const qreal x = track.left() + 3 + (kSwitchW - kSwitchH) * on;
    const QRectF knob(x, track.top() + 3, 18, 18);
    Paint::roundedBox(p, knob, 9, Paint::mix(Theme::faint, Theme::white, t), Theme::stroke, 1.5);
    if (t > 0) {
        QColor red = Theme::red;
        red.setAlphaF(float(t));
        p.fillRect(QRectF(knob.center().x() - 0.75, knob.center().y() - 3.5, 1.5, 7), red);
    }
    p.restore();
}

void paintGXCheckbox(QPainter &p, const QPointF &topLeft, qreal on)
{
    const qreal t = qBound<qreal>(0.0, on, 1.0);
    const QRectF box(topLeft, QSizeF(18, 18));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    Paint::slab(p, box, 5, QPointF(1.5, 1.5), Theme::shadow);
    Paint::roundedBox(p, box, 5, Paint::mix(Theme::well, Theme::red, t), Theme::stroke, 1.5);
    if (t > 0) {
        QColor white = Theme::white;
        white.setAlphaF(float(t));
        Icons::paint(p, QRectF(box.center().x() - 5, box.center().y() - 5, 10, 10),
                     QStringLiteral("checkmark"), white);
    }
    p.restore();
}

SpringToggle::SpringToggle(qreal response, qreal dampingFraction, QWidget *parent)
    : HoverButton(parent), m_spring(new SpringAnimator(response, dampingFraction, this))
{
    setCheckable(true);
    connect(m_spring, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
}

qreal SpringToggle::progress() const
{
    return m_spring->value();
}

void SpringToggle::checkStateSet()
{
    m_spring->jumpTo(isChecked() ? 1.0 : 0.0);
    update();
}

void SpringToggle::nextCheckState()
{
    // A click animates from where the drawing is now.
    const qreal from = m_spring->value();
    HoverButton::nextCheckState();
    m_spring->jumpTo(from);
    m_spring->setTarget(isChecked() ? 1.0 : 0.0);
}

GXSwitch::GXSwitch(const QString &text, QWidget *parent) : SpringToggle(0.22, 0.7, parent)
{
    setText(text);
    // A text label may take more lines: the height follows the width given.
    QSizePolicy policy(text.isEmpty() ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                       text.isEmpty() ? QSizePolicy::Fixed : QSizePolicy::Minimum);
    policy.setHeightForWidth(!text.isEmpty());
    setSizePolicy(policy);
}

void GXSwitch::setLabelWidget(QWidget *label)
{
    delete m_label;
    m_label = label;
    if (label) {
        label->setParent(this);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->show();
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateGeometry();
    resizeEvent(nullptr);
}

QSize GXSwitch::sizeHint() const
{
    int labelWidth = 0, labelHeight = 0;
    if (m_label) {
        labelWidth = m_label->sizeHint().width();
        labelHeight = m_label->sizeHint().height();
    } else if (!text().isEmpty()) {
        const QFontMetricsF fm(labelFont());
        labelWidth = qCeil(fm.horizontalAdvance(text()));
        labelHeight = qCeil(fm.height());
    }
    const int gap = labelWidth > 0 ? kLabelGap : 0;
    return QSize(labelWidth + gap + int(kSwitchW), qMax(labelHeight, int(kSwitchH) + 2));
}

QSize GXSwitch::minimumSizeHint() const
{
    if (m_label || text().isEmpty())
        return QSize(int(kSwitchW), sizeHint().height());
    // The text wraps in a narrow row, but no word of it is cut.
    const QFontMetricsF fm(labelFont());
    qreal widest = 0;
    for (const QString &word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = qMax(widest, fm.horizontalAdvance(word));
    return QSize(qCeil(widest) + kLabelGap + int(kSwitchW), sizeHint().height());
}

bool GXSwitch::hasHeightForWidth() const
{
    return !m_label && !text().isEmpty();
}

int GXSwitch::heightForWidth(int width) const
{
    if (!hasHeightForWidth())
        return sizeHint().height();
    const QRectF lines =
        QFontMetricsF(labelFont())
            .boundingRect(QRectF(0, 0, qMax(1, width - kLabelGap - int(kSwitchW)), 1e6), kLabelFlags, text());
    return qMax(qCeil(lines.height()), int(kSwitchH) + 2);
}

void GXSwitch::resizeEvent(QResizeEvent *)
{
    if (m_label) {
        const int h = qMin(height(), m_label->sizeHint().height());
        m_label->setGeometry(0, (height() - h) / 2, qMax(0, width() - int(kSwitchW) - kLabelGap), h);
    }
}

void GXSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    if (!m_label && !text().isEmpty()) {
        p.setFont(labelFont());
        p.setPen(Theme::ink.resolve());
        p.drawText(QRectF(0, 0, width() - kSwitchW - kLabelGap, height()), kLabelFlags, text());
    }
    paintGXSwitch(p, QPointF(width() - kSwitchW, (height() - kSwitchH - 2) / 2.0), progress());
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Theme::red.resolve(), 1.5));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(width() - kSwitchW - 2, (height() - kSwitchH - 2) / 2.0 - 2, kSwitchW + 4,
                          kSwitchH + 4);
        p.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
}

GXCheckbox::GXCheckbox(const QString &text, QWidget *parent) : SpringToggle(0.2, 0.7, parent)
{
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize GXCheckbox::sizeHint() const
{
    const QFontMetricsF fm(labelFont());
    const int label = text().isEmpty() ? 0 : 9 + qCeil(fm.horizontalAdvance(text()));
    return QSize(20 + label, qMax(20, qCeil(fm.height())));
}

void GXCheckbox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    const qreal top = (height() - 19.5) / 2.0;
    paintGXCheckbox(p, QPointF(0, top), progress());
    if (hasFocus())
        Paint::focusRing(p, QRectF(0, top - 1, 20, 20), 6);
    if (!text().isEmpty()) {
        p.setFont(labelFont());
        p.setPen(Theme::ink.resolve());
        p.drawText(QRectF(27, 0, width() - 27, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}
