#include "features/triggers/TriggerRow.h"

#include "features/triggers/TriggerTexts.h"
#include "ui/FixedDigits.h"
#include "ui/Fonts.h"
#include "ui/IconButton.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QtMath>

namespace {

constexpr int kSide = 12;
constexpr int kVertical = 10;
constexpr int kSpacing = 12;
constexpr int kEmojiWidth = 34;
constexpr int kCountWidth = 44;
constexpr int kMinNameWidth = 40;

QFont emojiFont()
{
    return Fonts::font(22);
}

QFont nameFont()
{
    return Fonts::rounded(14, QFont::Bold);
}

QFont kindFont()
{
    return Fonts::mono(10, QFont::DemiBold);
}

QFont countFont()
{
    return Fonts::rounded(14, QFont::ExtraBold);
}

} // namespace

TriggerRow::TriggerRow(QWidget *parent)
    : QWidget(parent),
      m_up(new IconButton(QStringLiteral("arrow.up"), Theme::ink, QStringLiteral("Move up"))),
      m_down(new IconButton(QStringLiteral("arrow.down"), Theme::ink, QStringLiteral("Move down"))),
      m_hide(new IconButton(QStringLiteral("eye"), Theme::ink, QStringLiteral("Hide from chips"))),
      m_delete(new IconButton(QStringLiteral("trash"), Theme::red, QStringLiteral("Delete"))),
      m_buttons(new QWidget(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    for (IconButton *button : {m_up, m_down, m_hide, m_delete})
        buttons->addWidget(button);
    // A built-in trigger's delete button is invisible but keeps its slot, so the columns of
    // buttons line up.
    QSizePolicy keep = m_delete->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_delete->setSizePolicy(keep);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kSide, kVertical, kSide, kVertical);
    row->setSpacing(0);
    row->addStretch(1);
    row->addWidget(m_buttons, 0, Qt::AlignVCenter);

    connect(m_up, &QAbstractButton::clicked, this, [this] { Q_EMIT moveRequested(m_position, -1); });
    connect(m_down, &QAbstractButton::clicked, this, [this] { Q_EMIT moveRequested(m_position, +1); });
    connect(m_hide, &QAbstractButton::clicked, this, [this] { Q_EMIT hideToggled(m_trigger); });
    connect(m_delete, &QAbstractButton::clicked, this, [this] {
        if (!m_trigger.isBuiltIn)
            Q_EMIT deleteRequested(m_trigger);
    });
}

void TriggerRow::setTrigger(const Trigger &trigger, int position, int triggerCount, int incidentCount)
{
    m_trigger = trigger;
    m_position = position;
    m_incidents = incidentCount;
    const TriggerRowState state =
        TriggerRowState::of(position, triggerCount, trigger.isBuiltIn, trigger.isHidden);
    m_up->setEnabled(state.upEnabled);
    m_down->setEnabled(state.downEnabled);
    m_hide->setSymbol(state.hideSymbol);
    m_hide->setToolTip(state.hideHelp);
    m_hide->setAccessibleName(state.hideHelp);
    m_delete->setEnabled(state.deleteShown);
    m_delete->setVisible(state.deleteShown);
    setAccessibleName(trigger.name);
    update();
}

int TriggerRow::rowHeight() const
{
    const QFontMetricsF name(nameFont()), kind(kindFont()), emoji(emojiFont());
    const qreal text = name.height() + 1 + kind.height();
    return qCeil(std::max({text, emoji.height(), qreal(m_buttons->sizeHint().height())})) + 2 * kVertical;
}

QSize TriggerRow::sizeHint() const
{
    return QSize(560, rowHeight());
}

QSize TriggerRow::minimumSizeHint() const
{
    const int fixed = kSide + kEmojiWidth + kSpacing + kMinNameWidth + 2 * kSpacing + kCountWidth + kSpacing +
                      m_buttons->sizeHint().width() + kSide;
    return QSize(fixed, rowHeight());
}

qreal TriggerRow::countRight() const
{
    return m_buttons->geometry().left() - kSpacing;
}

QRectF TriggerRow::nameRect() const
{
    const qreal left = kSide + kEmojiWidth + kSpacing;
    // The flexible space between the name and the count has the row's spacing on either side.
    const qreal right = countRight() - kCountWidth - 2 * kSpacing;
    const QFontMetricsF name(nameFont()), kind(kindFont());
    const qreal top = (height() - (name.height() + 1 + kind.height())) / 2;
    return QRectF(left, top, std::max<qreal>(0, right - left), name.height());
}

QRectF TriggerRow::countRect() const
{
    return QRectF(countRight() - kCountWidth, 0, kCountWidth, height());
}

QString TriggerRow::shownName() const
{
    return QFontMetricsF(nameFont())
        .elidedText(TriggerTexts::singleLine(m_trigger.name), Qt::ElideRight, nameRect().width());
}

void TriggerRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal h = height();

    // The emoji, clipped to its column so a long "emoji" text cannot run into the name.
    const QRectF emojiBox(kSide, 0, kEmojiWidth, h);
    p.save();
    p.setClipRect(emojiBox);
    p.setOpacity(m_trigger.isHidden ? 0.4 : 1.0);
    const QSizeF box(kEmojiWidth, h);
    p.drawPixmap(emojiBox.topLeft(),
                 Paint::emoji(TriggerTexts::singleLine(m_trigger.emoji), emojiFont(), box, Qt::AlignCenter,
                              Theme::ink.resolve(), devicePixelRatioF()));
    p.restore();

    const QRectF name = nameRect();
    const int singleLine = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.setFont(nameFont());
    p.setPen((m_trigger.isHidden ? Theme::dim : Theme::ink).resolve());
    p.drawText(name, singleLine, shownName());

    const QFontMetricsF kindMetrics(kindFont());
    p.setFont(kindFont());
    p.setPen(Theme::dim.resolve());
    p.drawText(QRectF(name.left(), name.bottom() + 1, name.width(), kindMetrics.height()), singleLine,
               kindMetrics.elidedText(TriggerTexts::kind(m_trigger.isBuiltIn), Qt::ElideRight, name.width()));

    p.setFont(countFont());
    p.setPen(Theme::ink.resolve());
    FixedDigits::draw(p, countRect(), Qt::AlignRight | Qt::AlignVCenter, QString::number(m_incidents));
}
