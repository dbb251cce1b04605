#include "features/overview/WeekChartCard.h"

#include "features/overview/WeekChartPlot.h"
#include "ui/ChunkyButton.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/SymbolView.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

WeekChartCard::WeekChartCard(QWidget *parent)
    : BrutalCard(20, Theme::card, 16, 4, parent), m_back(new GhostButton(QString())),
      m_forward(new GhostButton(QString())),
      m_label(new ThemedLabel(QString(), Fonts::rounded(12, QFont::DemiBold), Theme::ink)),
      m_total(new ThemedLabel(QString(), Fonts::rounded(13, QFont::ExtraBold), Theme::ink)),
      m_plot(new WeekChartPlot), m_footer(new QStackedWidget),
      m_hint(new ThemedLabel(QString(), Fonts::rounded(12, QFont::Medium), Theme::dim)),
      m_dayLine(new ThemedLabel(QString(), Fonts::rounded(14, QFont::ExtraBold), Theme::ink)),
      m_dayFacts(new ThemedLabel(QString(), Fonts::rounded(12, QFont::Medium), Theme::dim))
{
    m_back->setSymbol(QStringLiteral("chevron.left"));
    m_back->setAccessibleName(QStringLiteral("Previous week"));
    m_forward->setSymbol(QStringLiteral("chevron.right"));
    m_forward->setAccessibleName(QStringLiteral("Next week"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setPreferredWidth(90);
    // The total is never cut; in the smallest window the week label gives up its spare room first.
    m_total->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    auto *header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(new TapeLabel(QStringLiteral("Your week"), -1, Theme::tape));
    header->addStretch(1);
    header->addWidget(m_back);
    header->addWidget(m_label);
    header->addWidget(m_forward);
    header->addWidget(m_total);
    column->addLayout(header);
    column->addWidget(m_plot);

    auto *hintRow = new QWidget;
    auto *hintLayout = new QHBoxLayout(hintRow);
    hintLayout->setContentsMargins(0, 0, 0, 0);
    hintLayout->setSpacing(6);
    hintLayout->addWidget(new SymbolView(QStringLiteral("hand.point.up.left.fill"), 11, Theme::dim));
    hintLayout->addWidget(m_hint, 1);
    hintLayout->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *detail = new QWidget;
    auto *detailLayout = new QVBoxLayout(detail);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->setSpacing(3);
    detailLayout->addWidget(m_dayLine);
    detailLayout->addWidget(m_dayFacts);
    detailLayout->addStretch(1);

    m_footer->addWidget(hintRow);
    m_footer->addWidget(detail);
    m_footer->setFixedHeight(38);
    column->addWidget(m_footer);
    column->addStretch(1);

    connect(m_back, &QAbstractButton::clicked, this, &WeekChartCard::pageBack);
    connect(m_forward, &QAbstractButton::clicked, this, &WeekChartCard::pageForward);
    connect(m_plot, &WeekChartPlot::hoveredChanged, this, &WeekChartCard::setHovered);
    rebuild();
}

void WeekChartCard::setData(const Analytics &analytics, const QList<Trigger> &triggers)
{
    m_analytics = analytics;
    m_triggers = triggers;
    rebuild();
}

void WeekChartCard::setWeekOffset(int offset)
{
    offset = std::min(offset, 0);
    if (offset == m_offset)
        return;
    m_offset = offset;
    rebuild();
    Q_EMIT weekOffsetChanged(offset);
}

void WeekChartCard::pageBack()
{
    setWeekOffset(WeekChartValues::pageBack(m_offset));
}

void WeekChartCard::pageForward()
{
    setWeekOffset(WeekChartValues::pageForward(m_offset));
}

void WeekChartCard::setHovered(const QString &dayName)
{
    if (m_hovered == dayName)
        return;
    m_hovered = dayName;
    m_plot->setHovered(dayName);
    updateFooter();
}

QString WeekChartCard::weekLabel() const
{
    return m_label->text();
}
QString WeekChartCard::totalText() const
{
    return m_total->text();
}
bool WeekChartCard::canPageForward() const
{
    return m_forward->isEnabled();
}

QString WeekChartCard::footerLine() const
{
    return m_footer->currentIndex() == 0 ? m_hint->text() : m_dayLine->text();
}

QString WeekChartCard::footerFacts() const
{
    return m_footer->currentIndex() == 0 ? QString() : m_dayFacts->text();
}

void WeekChartCard::rebuild()
{
    if (!m_analytics.now.isValid()) {
        m_week = {};
    } else {
        m_week = WeekChartData::compute(m_analytics, m_offset);
    }
    m_label->setText(m_week.title());
    m_total->setText(m_week.totalText());
    m_forward->setEnabled(WeekChartValues::canPageForward(m_offset));

    QList<WeekChartPlot::Bar> bars;
    for (int i = 0; i < m_week.days.size(); ++i) {
        const DayBucket &day = m_week.days[i];
        bars << WeekChartPlot::Bar{m_week.dayNames.value(i), day.count, day.isToday, day.isFuture};
    }
    m_plot->setBars(bars);
    // Paging keeps the hover: it names a weekday, not a date.
    m_plot->setHovered(m_hovered);
    updateFooter();
}

void WeekChartCard::updateFooter()
{
    const int index = m_week.indexOf(m_hovered);
    if (index < 0) {
        m_hint->setText(m_week.hint());
        m_footer->setCurrentIndex(0);
        return;
    }
    const WeekChartData::DayDetail detail = m_week.detail(index, m_analytics, m_triggers);
    m_dayLine->setText(detail.line);
    m_dayFacts->setText(detail.facts);
    m_footer->setCurrentIndex(1);
}
