#include "ui/GXDropdown.h"

#include "ui/DialogCard.h"
#include "ui/FieldChrome.h"
#include "ui/Fonts.h"
#include "ui/HeavyText.h"
#include "ui/Icons.h"
#include "ui/OverlayCenter.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtMath>

namespace {

constexpr int kFieldHeight = 32;
constexpr int kRowHeight = 30;

// The thin rule above an option that starts a group.
class MenuDivider : public QWidget
{
public:
    explicit MenuDivider(QWidget *parent = nullptr) : QWidget(parent) { setFixedHeight(9); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(QRectF(6, 4, width() - 12, 1), Theme::stroke.opacity(0.25).resolve());
    }
};

} // namespace

MenuRow::MenuRow(const std::optional<QString> &emoji, const QString &label, bool selected, bool destructive,
                 QWidget *parent)
    : HoverButton(parent), m_emoji(emoji), m_selected(selected), m_destructive(destructive)
{
    setText(label);
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(kRowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MenuRow::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

QSize MenuRow::sizeHint() const
{
    const QFontMetricsF fm(Fonts::rounded(13, QFont::Black));
    const qreal w =
        9 + (m_emoji ? 20 + 9 : 0) + fm.horizontalAdvance(text()) + 9 + 6 + (m_selected ? 11 + 9 : 0) + 9;
    return QSize(qCeil(w), kRowHeight);
}

void MenuRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool lit = m_highlighted;
    if (lit)
        Paint::roundedBox(p, rect(), 7, Theme::red, Qt::transparent, 0);
    qreal x = 9;
    const qreal right = width() - 9;
    if (m_emoji) {
        p.setFont(Fonts::font(14));
        p.setPen(Theme::ink.resolve());
        p.drawText(QRectF(x, 0, 20, height()), Qt::AlignCenter, *m_emoji);
        x += 20 + 9;
    }
    qreal textRight = right - 6;
    if (m_selected) {
        Icons::paint(p, QRectF(right - 11, (height() - 11) / 2.0, 11, 11), QStringLiteral("checkmark"),
                     lit ? Theme::white : Theme::red);
        textRight -= 11 + 9;
    }
    const QFont font = Fonts::rounded(13, m_selected ? QFont::Black : QFont::DemiBold);
    p.setFont(font);
    p.setPen((lit ? Theme::white : (m_destructive ? Theme::red : Theme::ink)).resolve());
    const qreal room = qMax<qreal>(0, textRight - x);
    HeavyText::draw(p, QRectF(x, 0, room, height()), Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetricsF(font).elidedText(text(), Qt::ElideRight, room));
}

DropdownMenu::DropdownMenu(const QList<GXOption> &options, const QVariant &selection, QWidget *parent)
    : QWidget(parent), m_options(options), m_list(new QWidget), m_scrolling(options.size() >= kScrollFrom)
{
    setFocusPolicy(Qt::StrongFocus);
    auto *list = new QVBoxLayout(m_list);
    list->setContentsMargins(5, 5, 5, 5);
    list->setSpacing(1);
    for (int i = 0; i < options.size(); ++i) {
        const GXOption &option = options.at(i);
        if (option.dividerBefore)
            list->addWidget(new MenuDivider);
        auto *row = new MenuRow(option.emoji, option.label, option.value == selection);
        connect(row, &QAbstractButton::clicked, this, [this, value = option.value] { Q_EMIT picked(value); });
        connect(row, &HoverButton::hoveringChanged, this, [this, i](bool hovering) {
            if (hovering)
                setCurrent(i);
            else if (m_current == i)
                setCurrent(-1);
        });
        list->addWidget(row);
        m_rows << row;
    }
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    if (m_scrolling) {
        auto *scroll = new QScrollArea;
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // The menu is built anew on every opening, so the current colours are the right ones.
        scroll->setStyleSheet(
            QStringLiteral(
                "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
                "QScrollBar:vertical { background: transparent; width: 8px; margin: 6px 2px 6px 0; }"
                "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
                "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
                .arg(Theme::faint.resolve().name()));
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidget(m_list);
        scroll->setFixedHeight(kScrollHeight);
        outer->addWidget(scroll);
    } else {
        outer->addWidget(m_list);
    }
}

void DropdownMenu::setCurrent(int index)
{
    m_current = index;
    for (int i = 0; i < m_rows.size(); ++i)
        m_rows.at(i)->setHighlighted(i == index);
    if (index >= 0 && m_scrolling) {
        if (auto *scroll = findChild<QScrollArea *>())
            scroll->ensureWidgetVisible(m_rows.at(index), 0, 5);
    }
}

void DropdownMenu::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        setCurrent(m_rows.isEmpty() ? -1 : (m_current + 1) % int(m_rows.size()));
        return;
    case Qt::Key_Up:
        setCurrent(m_rows.isEmpty() ? -1 : (m_current <= 0 ? int(m_rows.size()) - 1 : m_current - 1));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current >= 0)
            Q_EMIT picked(m_options.at(m_current).value);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

GXDropdown::GXDropdown(const QList<GXOption> &options, const QVariant &selection, qreal width,
                       std::optional<qreal> menuWidth, bool trailing, QWidget *parent)
    : HoverButton(parent), m_options(options), m_selection(selection), m_width(width), m_menuWidth(menuWidth),
      m_trailing(trailing)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &GXDropdown::openMenu);
}

void GXDropdown::setOptions(const QList<GXOption> &options)
{
    m_options = options;
    update();
}

void GXDropdown::setSelection(const QVariant &selection)
{
    m_selection = selection;
    update();
}

std::optional<GXOption> GXDropdown::currentOption() const
{
    for (const GXOption &option : m_options)
        if (option.value == m_selection)
            return option;
    return std::nullopt;
}

bool GXDropdown::isMenuOpen() const
{
    return m_center && m_center->popup() && m_menu && m_center->popup()->content == m_menu->parentWidget();
}

bool GXDropdown::openMenu()
{
    OverlayCenter *center = OverlayCenter::of(this);
    if (!center)
        return false;
    m_center = center;
    // Rebuilt on every opening, showing the selection as it is now.
    auto *menu = new DropdownMenu(m_options, m_selection);
    m_menu = menu;
    connect(menu, &DropdownMenu::picked, this, &GXDropdown::pick);
    connect(center, &OverlayCenter::popupChanged, this, qOverload<>(&QWidget::update), Qt::UniqueConnection);
    center->show(center->frameOf(this), m_menuWidth.value_or(m_width), m_trailing, new PopoverSurface(menu));
    menu->setFocus(Qt::PopupFocusReason);
    update();
    return true;
}

void GXDropdown::pick(const QVariant &value)
{
    const bool changed = value != m_selection;
    m_selection = value;
    if (m_center)
        m_center->dismiss();
    update();
    if (changed)
        Q_EMIT selectionChanged(value);
    Q_EMIT activated(value);
}

void GXDropdown::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        openMenu();
        return;
    default:
        HoverButton::keyPressEvent(event);
    }
}

void GXDropdown::focusInEvent(QFocusEvent *event)
{
    // Tab shows the ring; a click or the window's own choice does not. Focus handed back by a
    // closing overlay keeps what the ring was before the overlay took the keyboard.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason)
        m_keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                          reason == Qt::ShortcutFocusReason;
    HoverButton::focusInEvent(event);
    update();
}

void GXDropdown::focusOutEvent(QFocusEvent *event)
{
    // The ring needs the focus, so the flag may stay for an overlay's return.
    HoverButton::focusOutEvent(event);
    update();
}

bool GXDropdown::showsFocusRing() const
{
    return (isMenuOpen() && isHovering()) || (hasFocus() && m_keyboardFocus);
}

QSize GXDropdown::sizeHint() const
{
    return QSize(qCeil(m_width), kFieldHeight);
}

void GXDropdown::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(0, (height() - kFieldHeight) / 2.0, width(), kFieldHeight);
    paintFieldChrome(p, box, showsFocusRing() ? 1.0 : 0.0);
    const std::optional<GXOption> current = currentOption();
    qreal x = 10;
    const qreal right = width() - 10;
    if (current && current->emoji) {
        const QFont ef = Fonts::font(13);
        p.setFont(ef);
        // A text symbol such as ✱ takes the pen; a colour emoji ignores it.
        p.setPen(Theme::ink.resolve());
        const qreal w = QFontMetricsF(ef).horizontalAdvance(*current->emoji);
        p.drawText(QRectF(x, box.top(), w + 1, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   *current->emoji);
        x += w + 7;
    }
    const qreal chevron = 10;
    Icons::paint(p, QRectF(right - chevron, box.center().y() - chevron / 2, chevron, chevron),
                 QStringLiteral("chevron.down"), isHovering() ? Theme::ink : Theme::dim);
    const QFont font = Fonts::rounded(13, QFont::DemiBold);
    p.setFont(font);
    p.setPen(Theme::ink.resolve());
    const qreal room = qMax<qreal>(0, right - chevron - 7 - 4 - x);
    p.drawText(
        QRectF(x, box.top(), room, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(font).elidedText(current ? current->label : QStringLiteral("—"), Qt::ElideRight, room));
}
