#include "features/overview/OverviewCards.h"

#include "features/overview/HourStrip.h"
#include "features/overview/OverviewCardValues.h"
#include "features/overview/OverviewData.h"
#include "services/Copy.h"
#include "ui/AppIconCache.h"
#include "ui/BarRow.h"
#include "ui/DashboardFonts.h"
#include "ui/EmptyHint.h"
#include "ui/HazardStripes.h"
#include "ui/Labels.h"
#include "ui/Paint.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr qreal cardPadding = 20;
constexpr qreal bandHeight = 12;
const ThemeColor nearBlack = ThemeColor::fixed(0x141211);

QVBoxLayout *cardColumn(QWidget *card, int spacing)
{
    auto *column = new QVBoxLayout(card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

} // namespace

void clearLayout(QVBoxLayout *layout)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *w = item->widget())
            delete w;
        else if (QLayout *l = item->layout())
            delete l;
        delete item;
    }
}

RankingCard::RankingCard(const QString &title, qreal tilt, QWidget *parent)
    : BrutalCard(cardPadding, Theme::card, 16, 4, parent),
      m_scope(new ThemedLabel(QString(), Fonts::rounded(11, QFont::DemiBold), Theme::dim)),
      m_list(new QVBoxLayout)
{
    QVBoxLayout *column = cardColumn(this, 14);
    auto *header = new QHBoxLayout;
    header->addWidget(new TapeLabel(title, tilt, Theme::tape), 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(m_scope, 0, Qt::AlignVCenter);
    column->addLayout(header);
    m_list->setSpacing(12);
    column->addLayout(m_list);
    column->addStretch(1);
}

bool RankingCard::shows(const QList<CountItem> &rows, Scope scope, int total) const
{
    return m_shownScope == scope && m_shownTotal == total && m_rows == rows;
}

bool RankingCard::hasSameEntries(const QList<CountItem> &rows, Scope scope) const
{
    if (m_shownScope != scope || rows.size() != m_rows.size() || rows.size() != m_bars.size() || rows.isEmpty())
        return false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const CountItem &a = rows[i];
        const CountItem &b = m_rows[i];
        if (a.id != b.id || a.name != b.name || a.emoji != b.emoji || a.bundleID != b.bundleID)
            return false;
    }
    return true;
}

void RankingCard::keepRows(const QList<CountItem> &rows, int total)
{
    m_rows = rows;
    m_shownTotal = total;
}

void RankingCard::addBar(BarRow *bar)
{
    m_list->addWidget(bar);
    m_bars << bar;
}

void RankingCard::startRows(const QList<CountItem> &rows, Scope scope, const QString &emptyHint, int total)
{
    m_bars.clear();
    m_scope->setText(rawValue(scope));
    m_rows = rows;
    m_shownScope = scope;
    m_shownTotal = total;
    clearLayout(m_list);
    if (rows.isEmpty())
        m_list->addWidget(new EmptyHint(emptyHint));
}

TopTriggersCard::TopTriggersCard(QWidget *parent) : RankingCard(QStringLiteral("Top triggers"), 1.0, parent)
{
    setItems({}, Scope::week);
}

void TopTriggersCard::setItems(const QList<CountItem> &items, Scope scope)
{
    const QList<CountItem> rows = OverviewRows::topTriggers(items);
    if (shows(rows, scope))
        return;
    const int largest = OverviewCardValues::largest(OverviewRows::counts(rows));
    if (hasSameEntries(rows, scope)) {
        for (int i = 0; i < rows.size(); ++i)
            bars()[i]->setValues(rows[i].count, double(rows[i].count) / largest, i == 0, std::nullopt);
        keepRows(rows);
        return;
    }
    startRows(rows, scope, QStringLiteral("No triggers yet.\nPress the button. Pick a chip."));
    for (int i = 0; i < rows.size(); ++i) {
        const CountItem &row = rows[i];
        auto *emoji = new ThemedLabel(row.emoji.value_or(QString()), Fonts::font(14), Theme::ink);
        addBar(new BarRow(i + 1, emoji, row.name, row.count, double(row.count) / largest, i == 0));
    }
}

TopAppsCard::TopAppsCard(QWidget *parent)
    : RankingCard(QStringLiteral("Where things went wrong"), -1.0, parent)
{
    setItems({}, Scope::week);
}

void TopAppsCard::setItems(const QList<CountItem> &items, Scope scope)
{
    const QList<CountItem> rows = OverviewRows::topApps(items);
    const int total = OverviewRows::totalCount(items);
    if (shows(rows, scope, total))
        return;
    const int largest = OverviewCardValues::largest(OverviewRows::counts(rows));
    if (hasSameEntries(rows, scope)) {
        for (int i = 0; i < rows.size(); ++i)
            bars()[i]->setValues(rows[i].count, double(rows[i].count) / largest, i == 0,
                                 OverviewCardValues::percentText(rows[i].count, total));
        keepRows(rows, total);
        return;
    }
    startRows(rows, scope, QStringLiteral("No suspects yet."), total);
    for (int i = 0; i < rows.size(); ++i) {
        const CountItem &row = rows[i];
        addBar(new BarRow(std::nullopt, new AppIconView(row.bundleID, 20), row.name, row.count,
                          double(row.count) / largest, i == 0, OverviewCardValues::percentText(row.count, total)));
    }
}

DangerZoneCard::DangerZoneCard(QWidget *parent)
    : BrutalCard(0, Theme::card, 16, 4, parent),
      m_range(new ThemedLabel(QString(), DashboardFonts::display(38), Theme::ink)),
      m_line(new ThemedLabel(QString(), Fonts::rounded(13, QFont::DemiBold), Theme::dim, true)),
      m_empty(new EmptyHint(QStringLiteral("No danger detected. Yet."))), m_strip(new HourStrip)
{
    auto *column = cardColumn(this, 12);
    // The hazard band is painted by the card itself, so it follows the rounded top corners.
    column->setContentsMargins(cardPadding, bandHeight + cardPadding, cardPadding, cardPadding);
    column->addWidget(new TapeLabel(QStringLiteral("Danger zone"), 1.5, Theme::tape), 0, Qt::AlignLeft);
    m_range->setFixedDigits(true);
    column->addWidget(m_range);
    column->addWidget(m_line);
    column->addWidget(m_empty);
    column->addWidget(m_strip);
    column->addStretch(1);
    setHours(QList<int>(24, 0));
}

void DangerZoneCard::setHours(const QList<int> &hours)
{
    if (m_hours == hours)
        return;
    m_hours = hours;
    m_peak = OverviewCardValues::peakHour(hours);
    m_range->setVisible(m_peak.has_value());
    m_line->setVisible(m_peak.has_value());
    m_empty->setVisible(!m_peak);
    if (m_peak) {
        m_range->setText(OverviewCardValues::peakRange(*m_peak));
        m_line->setText(Copy::dangerLine(*m_peak));
    }
    m_strip->setHours(hours, m_peak);
}

QString DangerZoneCard::rangeText() const
{
    return m_peak ? m_range->text() : QString();
}

void DangerZoneCard::paintEvent(QPaintEvent *event)
{
    BrutalCard::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect();
    p.setClipPath(Paint::roundedRect(card.adjusted(0.75, 0.75, -0.75, -0.75), radius()));
    paintHazardStripes(p, QRectF(card.left(), card.top(), card.width(), bandHeight), 9, Theme::hazard,
                       nearBlack);
}

FieldNotesCard::FieldNotesCard(QWidget *parent)
    : BrutalCard(cardPadding, Theme::card, 16, 4, parent), m_list(new QVBoxLayout)
{
    QVBoxLayout *column = cardColumn(this, 12);
    column->addWidget(new TapeLabel(QStringLiteral("Field notes"), -1.0, Theme::tape), 0, Qt::AlignLeft);
    m_list->setSpacing(12);
    m_list->setContentsMargins(0, 0, 0, 0);
    column->addLayout(m_list);
    column->addStretch(1);
    setLines({});
}

void FieldNotesCard::setLines(const QStringList &lines)
{
    if (lines == m_lines && m_list->count() > 0)
        return;
    m_lines = lines;
    clearLayout(m_list);
    if (lines.isEmpty()) {
        m_list->addWidget(new EmptyHint(QStringLiteral("Not enough chaos to analyze. Lucky you.")));
        return;
    }
    for (const QString &line : lines) {
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(10);
        layout->addWidget(
            new ThemedLabel(QStringLiteral("\u2192"), Fonts::rounded(14, QFont::Black), Theme::red), 0,
            Qt::AlignTop);
        layout->addWidget(new ThemedLabel(line, Fonts::rounded(14, QFont::DemiBold), Theme::ink, true), 1);
        m_list->addWidget(row);
    }
}
