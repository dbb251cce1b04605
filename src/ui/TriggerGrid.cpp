#include "ui/TriggerGrid.h"

#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QShortcut>
#include <QtMath>

namespace {

constexpr int kSpacing = 6;
constexpr int kMaxTiles = 10;
constexpr qreal kNameSize = 9.5;
constexpr qreal kLeastNameScale = 0.7;
constexpr qreal kReferencePixels = 100;

QFont referenceNameFont()
{
    return Fonts::rounded(kReferencePixels, QFont::Bold);
}

} // namespace

TriggerTile::TriggerTile(const Trigger &trigger, QWidget *parent)
    : HoverButton(parent), m_trigger(trigger), m_hover(new SpringAnimator(0.18, 0.6, this)),
      m_press(new SpringAnimator(0.12, 0.825, this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_hover, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
    connect(m_press, &SpringAnimator::valueChanged, this, qOverload<>(&QWidget::update));
    auto sync = [this] {
        // The hover look stays while pressed; the press sinks the lifted tile.
        m_hover->setTarget(isHovering() ? 1.0 : 0.0);
        m_press->setTarget(isDown() ? 1.0 : 0.0);
    };
    connect(this, &HoverButton::hoveringChanged, this, sync);
    connect(this, &QAbstractButton::pressed, this, sync);
    connect(this, &QAbstractButton::released, this, sync);
}

void TriggerTile::setTrigger(const Trigger &trigger)
{
    m_trigger = trigger;
    update();
}

void TriggerTile::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

qreal TriggerTile::lift() const
{
    return 2.0 * m_hover->value();
}

qreal TriggerTile::press() const
{
    return m_press->value();
}

TriggerTile::NameFit TriggerTile::fitName() const
{
    // The name has the tile's whole width, as wide as its column.
    const qreal room = width() - kSlabRoom;
    const QString &name = m_trigger.name;
    const QFontMetricsF reference(referenceNameFont());
    const qreal perPixel = reference.horizontalAdvance(name) / kReferencePixels;
    const qreal natural = perPixel * kNameSize;
    const qreal size =
        natural > room ? qMax(kNameSize * kLeastNameScale, kNameSize * room / natural) : kNameSize;
    // The advance follows the size in proportion; a rounding hair over the room is no reason to cut.
    if (perPixel * size <= room + 0.01)
        return {size, name};
    return {size, reference.elidedText(name, Qt::ElideRight, room * kReferencePixels / size)};
}

qreal TriggerTile::nameSize() const
{
    return fitName().size;
}

QString TriggerTile::shownName() const
{
    return fitName().text;
}

void TriggerTile::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF cell = QRectF(rect()).adjusted(0, 0, -kSlabRoom, -kSlabRoom);
    const qreal pressed = m_press->value();
    // Press: sink 1 down-right and shrink to 97 % about the centre.
    p.translate(pressed, pressed);
    p.translate(cell.center());
    const qreal scale = 1.0 - 0.03 * pressed;
    p.scale(scale, scale);
    p.translate(-cell.center());

    const qreal hover = qBound<qreal>(0.0, m_hover->value(), 1.2);
    const qreal h = qBound<qreal>(0.0, hover, 1.0);
    Paint::slab(p, cell, 9, QPointF(2 * hover, 2 * hover), Theme::shadow);
    QColor fill, border, label;
    qreal width;
    if (m_selected) {
        fill = Theme::red;
        border = Theme::redDark;
        label = Qt::white;
        width = 1.5;
    } else {
        fill = Paint::mix(Theme::well, Theme::card, h);
        border = Paint::mix(Theme::stroke.opacity(0.45), Theme::stroke, h);
        label = Theme::ink;
        width = 1.0 + 0.5 * h;
    }
    Paint::roundedBox(p, cell, 9, fill, border, width);

    // Emoji above the name; the name shrinks to 70 % before it is cut.
    const QFont emojiFont = Fonts::font(17);
    const QFontMetricsF em(emojiFont);
    const NameFit name = fitName();
    // Fonts come in whole pixels: the name is set at a large size and scaled down to its own.
    const QFont nameFont = referenceNameFont();
    const qreal nameScale = name.size / kReferencePixels;
    const qreal nameHeight = QFontMetricsF(nameFont).height() * nameScale;
    const qreal block = em.height() + 1 + nameHeight;
    const qreal top = cell.center().y() - block / 2;
    p.setPen(label);
    const QRectF emojiRect(cell.left(), top, cell.width(), em.height());
    p.drawPixmap(emojiRect.topLeft(), Paint::emoji(m_trigger.emoji, emojiFont, emojiRect.size(),
                                                   Qt::AlignCenter, label, devicePixelRatioF()));
    p.setFont(nameFont);
    p.translate(cell.left(), top + em.height() + 1);
    p.scale(nameScale, nameScale);
    p.drawText(QRectF(0, 0, cell.width() / nameScale, nameHeight / nameScale), Qt::AlignCenter, name.text);
}

TriggerGrid::TriggerGrid(const QList<Trigger> &triggers, const std::optional<QString> &selected, int columns,
                         bool numbered, PickHandler onPick, QWidget *parent)
    : QWidget(parent), m_triggers(triggers), m_selected(selected), m_columns(qMax(1, columns)),
      m_numbered(numbered), m_onPick(std::move(onPick))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    rebuild();
}

QString TriggerGrid::digitFor(int index)
{
    return QString::number((index + 1) % 10);
}

void TriggerGrid::setTriggers(const QList<Trigger> &triggers)
{
    m_triggers = triggers;
    rebuild();
}

void TriggerGrid::setSelected(const std::optional<QString> &key)
{
    m_selected = key;
    for (TriggerTile *tile : std::as_const(m_tiles))
        tile->setSelected(m_selected && *m_selected == tile->trigger().key);
}

void TriggerGrid::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    updateGeometry();
    placeTiles();
}

void TriggerGrid::setNumbered(bool numbered)
{
    m_numbered = numbered;
    rebuild();
}

void TriggerGrid::rebuild()
{
    qDeleteAll(m_shortcuts);
    m_shortcuts.clear();
    qDeleteAll(m_tiles);
    m_tiles.clear();
    const int shown = qMin<int>(m_triggers.size(), kMaxTiles);
    for (int i = 0; i < shown; ++i) {
        const Trigger &t = m_triggers.at(i);
        auto *tile = new TriggerTile(t, this);
        tile->setSelected(m_selected && *m_selected == t.key);
        tile->setToolTip(m_numbered ? t.name + QStringLiteral(" — press ") + digitFor(i) : t.name);
        connect(tile, &QAbstractButton::clicked, this, [this, i] { pick(i); });
        if (m_numbered) {
            // The bare digit, no modifiers; a focused text field keeps its digits.
            auto *shortcut = new QShortcut(QKeySequence(Qt::Key_0 + (i + 1) % 10), this);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, i] { pick(i); });
            m_shortcuts << shortcut;
        }
        tile->show();
        m_tiles << tile;
    }
    updateGeometry();
    placeTiles();
}

void TriggerGrid::pick(int index)
{
    if (index < 0 || index >= m_tiles.size())
        return;
    const Trigger trigger = m_tiles.at(index)->trigger();
    if (m_onPick)
        m_onPick(trigger);
    Q_EMIT picked(trigger);
}

int TriggerGrid::rows() const
{
    return (int(m_tiles.size()) + m_columns - 1) / m_columns;
}

int TriggerGrid::heightForWidth(int) const
{
    const int r = rows();
    return r == 0 ? 0 : r * TriggerTile::kHeight + (r - 1) * kSpacing + TriggerTile::kSlabRoom;
}

QSize TriggerGrid::sizeHint() const
{
    return QSize(m_columns * 60 + (m_columns - 1) * kSpacing, heightForWidth(0));
}

QSize TriggerGrid::minimumSizeHint() const
{
    return QSize(m_columns * 10 + (m_columns - 1) * kSpacing, heightForWidth(0));
}

void TriggerGrid::resizeEvent(QResizeEvent *)
{
    placeTiles();
}

void TriggerGrid::placeTiles()
{
    const qreal usable = width() - TriggerTile::kSlabRoom;
    const qreal columnWidth = qMax<qreal>(10, (usable - (m_columns - 1) * kSpacing) / m_columns);
    for (int i = 0; i < m_tiles.size(); ++i) {
        const int row = i / m_columns, col = i % m_columns;
        const qreal x = col * (columnWidth + kSpacing);
        const int left = qRound(x), right = qRound(x + columnWidth);
        m_tiles.at(i)->setGeometry(left, row * (TriggerTile::kHeight + kSpacing),
                                   right - left + TriggerTile::kSlabRoom,
                                   TriggerTile::kHeight + TriggerTile::kSlabRoom);
    }
}
