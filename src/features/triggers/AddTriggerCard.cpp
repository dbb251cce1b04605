#include "features/triggers/AddTriggerCard.h"

#include "features/triggers/TriggerDraft.h"
#include "ui/ChunkyButton.h"
#include "ui/Fonts.h"
#include "ui/GXTextField.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Paint.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr qreal kShadow = 2;
constexpr qreal kBadge = 15;
constexpr qreal kBadgeOffset = 5;

const QString kHint = QStringLiteral("Click the icon to change it");

// Refuses an edit (a key, a paste, a drop) that would make the name longer than a name may be;
// the field keeps what it had, never a shortened paste.
class NameLength : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return TriggerDraft::fitsNameLength(input) ? Acceptable : Invalid;
    }
};

} // namespace

EmojiButton::EmojiButton(QWidget *parent) : HoverButton(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("Pick an icon"));
    setAccessibleName(QStringLiteral("Pick an icon"));
    setFocusPolicy(Qt::StrongFocus);
}

void EmojiButton::setEmoji(const QString &emoji)
{
    m_emoji = emoji;
    update();
}

QSize EmojiButton::sizeHint() const
{
    const int side = int(kTile + kBadgeOffset + 1);
    return QSize(side, side);
}

void EmojiButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0, 0, kTile, kTile);
    Paint::slab(p, tile, 12, QPointF(kShadow, kShadow), Theme::shadow);
    Paint::roundedBox(p, tile, 12, Theme::well, Theme::stroke, 1.5);
    p.save();
    p.setClipPath(Paint::roundedRect(tile, 12));
    p.drawPixmap(tile.topLeft(), Paint::emoji(m_emoji, Fonts::font(30), tile.size(), Qt::AlignCenter,
                                              Theme::ink.resolve(), devicePixelRatioF()));
    p.restore();

    // The badge: a red disc with a white pencil cut into it.
    const QRectF badge(kTile + kBadgeOffset - kBadge, kTile + kBadgeOffset - kBadge, kBadge, kBadge);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::white.resolve());
    p.drawEllipse(badge.adjusted(1.5, 1.5, -1.5, -1.5));
    Icons::paint(p, badge, QStringLiteral("pencil.circle.fill"), Theme::red.resolve());
    if (hasFocus())
        Paint::focusRing(p, tile, 12);
}

AddTriggerCard::AddTriggerCard(QWidget *parent)
    : BrutalCard(20, Theme::card, 16, 4, parent), m_emojiButton(new EmojiButton),
      m_name(new GXTextField(QStringLiteral("Name, e.g. Jira"), std::nullopt, false)),
      m_save(new ChunkyButton(QStringLiteral("Save trigger"), Theme::red, Theme::white)),
      m_hint(new ThemedLabel(kHint, Fonts::rounded(11, QFont::Medium), Theme::dim, true))
{
    setFixedWidth(kWidth + int(lift()));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    column->addWidget(new TapeLabel(QStringLiteral("+ Add trigger"), -1.5, Theme::tape), 0, Qt::AlignLeft);

    auto *entry = new QHBoxLayout;
    entry->setSpacing(10);
    entry->addWidget(m_emojiButton, 0, Qt::AlignVCenter);
    auto *fields = new QVBoxLayout;
    fields->setSpacing(6);
    fields->addWidget(m_name);
    fields->addWidget(m_hint);
    entry->addLayout(fields, 1);
    column->addLayout(entry);

    m_save->setSymbol(QStringLiteral("plus"));
    column->addWidget(m_save, 0, Qt::AlignLeft);
    column->addWidget(new ThemedLabel(
        QStringLiteral("Hidden triggers don't show up as quick chips, but keep their history."),
        Fonts::rounded(11, QFont::Medium), Theme::dim, true));

    m_name->setOnSubmit([this] { Q_EMIT submitted(); });
    connect(m_save, &QAbstractButton::clicked, this, &AddTriggerCard::submitted);
    connect(m_name, &GXTextField::textChanged, this, &AddTriggerCard::syncSaveButton);
    m_name->lineEdit()->setValidator(new NameLength(m_name));
    connect(m_name->lineEdit(), &LineEditor::inputRejected, this, [this] { showRefusal(true); });
    connect(m_name, &GXTextField::textChanged, this, [this] { showRefusal(false); });
    syncSaveButton();
}

void AddTriggerCard::showRefusal(bool refused)
{
    m_hint->setText(refused ? TriggerDraft::tooLongText() : kHint);
    m_hint->setColor(refused ? Theme::red : Theme::dim);
}

void AddTriggerCard::syncSaveButton()
{
    m_save->setEnabled(!TriggerDraft::trimmedName(m_name->text()).isEmpty());
}
