#include "features/triggers/EmojiPicker.h"

#include "features/triggers/EmojiPool.h"
#include "ui/ChunkyButton.h"
#include "ui/Fonts.h"
#include "ui/GXTextField.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

EmojiCell::EmojiCell(const QString &emoji, QWidget *parent) : HoverButton(parent), m_emoji(emoji)
{
    setFixedSize(34, 34);
    setToolTip(QString());
    setAccessibleName(emoji);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

void EmojiCell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal tint = isDown() ? 0.14 : (isHovering() ? 0.07 : 0.0);
    if (tint > 0)
        Paint::roundedBox(p, rect(), 7, Theme::ink.opacity(tint), Qt::transparent, 0);
    p.drawPixmap(0, 0,
                 Paint::emoji(m_emoji, Fonts::font(22), QSizeF(size()), Qt::AlignCenter, Theme::ink.resolve(),
                              devicePixelRatioF()));
    if (hasFocus())
        Paint::focusRing(p, rect(), 7);
}

EmojiPicker::EmojiPicker(Pick pick, const QStringList &emojis, std::function<void()> openSystemPicker,
                         QWidget *parent)
    : QWidget(parent), m_pick(std::move(pick)),
      m_custom(new GXTextField(QStringLiteral("Or type any emoji"), std::nullopt, false))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);

    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < emojis.size(); ++i) {
        auto *cell = new EmojiCell(emojis.at(i));
        connect(cell, &QAbstractButton::clicked, this, [this, emoji = emojis.at(i)] {
            if (m_pick)
                m_pick(emoji);
        });
        grid->addWidget(cell, i / EmojiPool::columns, i % EmojiPool::columns);
        m_cells << cell;
    }
    auto *centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(grid);
    centred->addStretch(1);
    column->addLayout(centred);

    auto *free = new QHBoxLayout;
    free->setSpacing(8);
    m_custom->setOnSubmit([this] { submitCustom(); });
    free->addWidget(m_custom, 1);
    if (openSystemPicker) {
        m_system = new GhostButton(QStringLiteral("Emoji picker"));
        m_system->setToolTip(QStringLiteral("Open the system emoji picker"));
        m_system->setAccessibleName(QStringLiteral("Open the system emoji picker"));
        // Starting the picker neither closes the pop-over nor picks anything by itself: what the
        // user copies there is pasted into the free field.
        connect(m_system, &QAbstractButton::clicked, this, [openSystemPicker] { openSystemPicker(); });
        free->addWidget(m_system);
    }
    column->addLayout(free);
}

void EmojiPicker::submitCustom()
{
    const QString first = EmojiPool::firstGrapheme(m_custom->text());
    if (!first.isEmpty() && m_pick)
        m_pick(first);
}
