#include "ui/DialogCard.h"

#include "ui/ChunkyButton.h"
#include "ui/Fonts.h"
#include "ui/HazardStripes.h"
#include "ui/Paint.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kHeader = 10;
constexpr int kPadding = 22;

QFont titleFont()
{
    QFont f = Fonts::font(26, QFont::Black);
    f.setStretch(QFont::Condensed);
    return f;
}

} // namespace

DialogCard::DialogCard(const OverlayCenter::Dialog &dialog, std::function<void()> close, QWidget *parent)
    : QWidget(parent), m_dialog(dialog), m_close(std::move(close)),
      m_cancel(new ChunkyButton(QStringLiteral("Cancel"), Theme::card, Theme::ink)),
      m_confirm(new ChunkyButton(dialog.confirm, dialog.destructive ? Theme::red : Theme::ink,
                                 dialog.destructive ? Theme::white : Theme::card))
{
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    auto *body = new QVBoxLayout(this);
    body->setContentsMargins(kPadding, kHeader + kPadding, kPadding + kLift, kPadding + kLift);
    body->setSpacing(10);
    body->addWidget(new ThemedLabel(dialog.title, titleFont(), Theme::ink, true));
    body->addWidget(new ThemedLabel(dialog.message, Fonts::rounded(13, QFont::Medium), Theme::dim, true));
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 12, 0, 0);
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_confirm);
    body->addLayout(buttons);

    m_cancel->setFocusPolicy(Qt::StrongFocus);
    m_confirm->setFocusPolicy(Qt::StrongFocus);
    connect(m_cancel, &QAbstractButton::clicked, this, [this] {
        if (m_done)
            return;
        m_done = true;
        if (m_close)
            m_close();
    });
    connect(m_confirm, &QAbstractButton::clicked, this, [this] {
        if (m_done)
            return;
        m_done = true;
        // Closed first, so the action may open an overlay of its own.
        const auto action = m_dialog.action;
        if (m_close)
            m_close();
        if (action)
            action();
    });
}

QSize DialogCard::sizeHint() const
{
    return QSize(kWidth + kLift, heightForWidth(kWidth + kLift));
}

int DialogCard::heightForWidth(int) const
{
    return layout()->heightForWidth(kWidth + kLift);
}

void DialogCard::mousePressEvent(QMouseEvent *event)
{
    // Clicks on the card never reach the backdrop behind it.
    event->accept();
}

void DialogCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(0, 0, width() - kLift, height() - kLift);
    Paint::slab(p, card, 16, QPointF(kLift, kLift), Theme::shadow);
    const QPainterPath shape = Paint::roundedRect(card, 16);
    p.fillPath(shape, Theme::card.resolve());
    p.save();
    p.setClipPath(shape);
    paintHazardStripes(p, QRectF(0, 0, card.width(), kHeader), 9,
                       (m_dialog.destructive ? Theme::red : Theme::hazard).resolve(), Theme::tape.resolve());
    p.restore();
    Paint::roundedBox(p, card, 16, Qt::transparent, Theme::stroke, 1.5);
}

QMargins PopoverSurface::shadowMargins()
{
    return QMargins(14, 6, 14, 22);
}

PopoverSurface::PopoverSurface(QWidget *content, QWidget *parent) : QWidget(parent), m_content(content)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(shadowMargins());
    layout->setSpacing(0);
    layout->addWidget(content);
}

QRect PopoverSurface::cardRect() const
{
    return rect().marginsRemoved(shadowMargins());
}

QSize PopoverSurface::sizeHint() const
{
    return layout()->sizeHint();
}

bool PopoverSurface::hasHeightForWidth() const
{
    return layout()->hasHeightForWidth();
}

int PopoverSurface::heightForWidth(int width) const
{
    return layout()->heightForWidth(width);
}

void PopoverSurface::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void PopoverSurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect();
    Paint::softShadow(p, card, 12, QColor(0, 0, 0, 46), 14, QPointF(0, 8));
    Paint::slab(p, card, 12, QPointF(3, 3), Theme::shadow);
    Paint::roundedBox(p, card, 12, Theme::card, Theme::stroke, 1.5);
}
