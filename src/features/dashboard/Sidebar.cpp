#include "features/dashboard/Sidebar.h"

#include "app/AppModel.h"
#include "features/dashboard/DashboardPages.h"
#include "ui/ChosenSkin.h"
#include "ui/DashboardFonts.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/MiniButton.h"
#include "ui/PageScroll.h"
#include "ui/Paint.h"
#include "ui/SymbolView.h"
#include "ui/ThemedLabel.h"
#include "ui/UnsavedNote.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr qreal tileRadius = 10;
constexpr qreal tileShadow = 3;
constexpr int rowHeight = 16 + 2 * 8; // the 13-point line and 8 above and below
constexpr int taglineSpacing = -2;    // the tagline is pulled up toward the title

// The brand's two lines, placed by hand: a layout's spacing cannot be negative (-2 there means
// "the default").
class BrandNames : public QWidget
{
public:
    BrandNames()
        : m_title(new ThemedLabel(QStringLiteral("GRUMBLIX"), DashboardFonts::display(22), Theme::ink, false,
                                  this)),
          m_tagline(new ThemedLabel(QStringLiteral("chaos control"), Fonts::mono(10, QFont::Medium),
                                    Theme::dim, false, this))
    {
        m_title->setObjectName(QStringLiteral("brandTitle"));
        m_tagline->setObjectName(QStringLiteral("brandTagline"));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const QSize title = m_title->sizeHint();
        const QSize tagline = m_tagline->sizeHint();
        return {qMax(title.width(), tagline.width()), title.height() + taglineSpacing + tagline.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        const int titleHeight = m_title->sizeHint().height();
        m_title->setGeometry(0, 0, width(), titleHeight);
        m_tagline->setGeometry(0, titleHeight + taglineSpacing, width(), m_tagline->sizeHint().height());
    }

private:
    ThemedLabel *m_title;
    ThemedLabel *m_tagline;
};

} // namespace

SidebarItem::SidebarItem(DashboardTab tab, QWidget *parent) : HoverButton(parent), m_tab(tab)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(DashboardPages::title(tab));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &HoverButton::hoveringChanged, this, qOverload<>(&QWidget::update));
}

void SidebarItem::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

QSize SidebarItem::sizeHint() const
{
    return {180, rowHeight + int(tileShadow)};
}

void SidebarItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The 3-point trailing and bottom room takes the selected tile's shadow.
    const QRectF tile(0, 0, width() - tileShadow, rowHeight);
    if (m_selected) {
        Paint::slab(p, tile, tileRadius, QPointF(tileShadow, tileShadow), Theme::shadow);
        Paint::roundedBox(p, tile, tileRadius, Theme::paper, Theme::stroke, 1.5);
    } else if (isHovering()) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(Theme::ink.opacity(0.06)));
        p.drawPath(Paint::roundedRect(tile, tileRadius));
    }
    const QRectF icon(tile.left() + 10, tile.center().y() - 7, 18, 14);
    Icons::paint(p, QRectF(icon.center().x() - 7, icon.top(), 14, 14), DashboardPages::symbol(m_tab),
                 m_selected ? QColor(Theme::red) : QColor(Theme::ink.opacity(0.7)));
    p.setFont(Fonts::rounded(13, m_selected ? QFont::Bold : QFont::DemiBold));
    p.setPen(QColor(Theme::ink));
    p.drawText(QRectF(icon.right() + 10, tile.top(), tile.right() - icon.right() - 20, tile.height()),
               Qt::AlignLeft | Qt::AlignVCenter, DashboardPages::title(m_tab));
}

Sidebar::Sidebar(AppModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setFixedWidth(width);
    auto *column = new QVBoxLayout(this);
    // The window has a real title bar above; the brand lines up with the page's header.
    column->setContentsMargins(16, pagePadding, 16, 20);
    column->setSpacing(4);

    auto *brand = new QHBoxLayout;
    brand->setSpacing(10);
    brand->setContentsMargins(0, 0, 0, 22);
    auto *emblem = new MiniButton(34);
    followChosenSkin(m_model.prefs(), emblem, [emblem](ButtonSkin skin) { emblem->setSkin(skin); });
    brand->addWidget(emblem, 0, Qt::AlignVCenter);
    brand->addWidget(new BrandNames, 0, Qt::AlignVCenter);
    brand->addStretch(1);
    column->addLayout(brand);

    for (DashboardTab tab : allDashboardTabs()) {
        auto *item = new SidebarItem(tab);
        m_items << item;
        column->addWidget(item);
        connect(item, &QAbstractButton::clicked, this, [this, tab] { Q_EMIT tabChosen(tab); });
    }
    // The flexible space above the shortcut block; while changes wait to be saved it tells so at its
    // foot, out of the way.
    m_unsaved = new UnsavedNote(model, 14);
    column->addWidget(m_unsaved, 1);

    auto *shortcut = new QVBoxLayout;
    shortcut->setSpacing(8);
    shortcut->addWidget(new ThemedLabel(QStringLiteral("PANIC ANYWHERE"),
                                        Fonts::tracked(Fonts::mono(9, QFont::ExtraBold), 1.2), Theme::dim));
    m_keys = new KeyCaps(model.shortcutKeyCaps(), 12);
    shortcut->addWidget(m_keys, 0, Qt::AlignLeft);
    auto *privacy = new QHBoxLayout;
    privacy->setContentsMargins(0, 6, 0, 0);
    privacy->setSpacing(5);
    privacy->addWidget(new SymbolView(QStringLiteral("lock.fill"), 9, Theme::dim), 0, Qt::AlignTop);
    privacy->addWidget(
        new ThemedLabel(QStringLiteral("Stored only on this computer. Your frustration is your business."),
                        Fonts::rounded(10, QFont::Medium), Theme::dim, true),
        1);
    shortcut->addLayout(privacy);
    column->addLayout(shortcut);

    connect(&m_model, &AppModel::dashboardTabChanged, this, &Sidebar::syncSelection);
    connect(&m_model, &AppModel::shortcutChanged, this,
            [this] { m_keys->setKeys(m_model.shortcutKeyCaps()); });
    syncSelection();
}

void Sidebar::syncSelection()
{
    for (SidebarItem *item : std::as_const(m_items))
        item->setSelected(item->tab() == m_model.dashboardTab());
}

void Sidebar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(Theme::card));
}
