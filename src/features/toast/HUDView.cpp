#include "features/toast/HUDView.h"

#include "app/AppModel.h"
#include "models/Store.h"
#include "services/Achievement.h"
#include "ui/AchievementBanner.h"
#include "ui/AppIconCache.h"
#include "ui/BrutalCard.h"
#include "ui/ChosenSkin.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/LiveQueries.h"
#include "ui/MiniButton.h"
#include "ui/ThemedText.h"
#include "ui/TriggerGrid.h"
#include "ui/WellBox.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int kContentWidth = 340;

QString filedLine(const TriggerInfo &trigger)
{
    return trigger.emoji + QStringLiteral("  Filed under ") + trigger.name + QStringLiteral(" ✓");
}

QFont titleFont()
{
    QFont f = Fonts::font(20, QFont::Black);
    f.setStretch(QFont::Condensed);
    return f;
}

} // namespace

HUDView::HUDView(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
                 std::function<void(bool)> onHover, QWidget *parent)
    : QWidget(parent), m_model(model), m_event(event), m_onChosen(std::move(onChosen)),
      m_onHover(std::move(onHover))
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *outer = new QVBoxLayout(this);
    // Room around the card; its slab takes 4 of the trailing and bottom margins.
    outer->setContentsMargins(6, 4, 10 - 4, 10 - 4);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto *card = new BrutalCard(14, Theme::card, 18, 4);
    outer->addWidget(card);
    auto *cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(0, 0, 0, 0);

    auto *content = new QWidget;
    content->setFixedWidth(kContentWidth);
    cardLayout->addWidget(content);
    m_stack = new QVBoxLayout(content);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(12);

    // Header
    auto *header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(new MiniButton(34, chosenSkin(m_model.prefs())), 0, Qt::AlignVCenter);
    auto *titles = new QVBoxLayout;
    titles->setSpacing(3);
    titles->addWidget(new ThemedText(QStringLiteral("GRUMBLIX"), titleFont(), Theme::ink, Qt::AlignLeft));
    auto *where = new QHBoxLayout;
    where->setSpacing(5);
    if (m_event.appName) {
        m_showsIcon = true;
        where->addWidget(new AppIconView(m_event.bundleIdentifier, 13), 0, Qt::AlignVCenter);
    }
    const QString logged =
        m_event.appName ? QStringLiteral("Logged in ") + *m_event.appName : QStringLiteral("Logged");
    m_logged = new ThemedText(logged, Fonts::rounded(11, QFont::Medium), Theme::dim, Qt::AlignLeft);
    where->addWidget(m_logged, 0, Qt::AlignVCenter);
    where->addStretch(1);
    titles->addLayout(where);
    header->addLayout(titles, 0);
    header->addStretch(1);
    auto *count = new QVBoxLayout;
    count->setSpacing(3);
    m_today = new FlapCounter(LiveQueries::todayCount(m_model), 18, 1, Theme::white);
    count->addWidget(m_today, 0, Qt::AlignRight);
    count->addWidget(new ThemedText(QStringLiteral("today"), Fonts::rounded(10, QFont::DemiBold), Theme::dim,
                                    Qt::AlignRight),
                     0, Qt::AlignRight);
    header->addLayout(count);
    m_stack->addLayout(header);

    // An incident that already carries a trigger shows as filed from the start.
    m_chosen = m_event.triggerKey;
    showFiling();

    connect(&m_model.store(), &Store::changed, this, &HUDView::refresh);
    connect(&m_model, &AppModel::logTickChanged, this, &HUDView::refresh);
    connect(&m_model, &AppModel::dayChanged, this, &HUDView::refresh);
    connect(&m_model, &AppModel::freshAchievementChanged, this, &HUDView::refreshBanner);
    refresh();
    refreshBanner();
}

void HUDView::showFiling()
{
    if (m_filing) {
        m_stack->removeWidget(m_filing);
        m_filing->deleteLater();
    }
    m_grid = nullptr;
    m_filed = nullptr;
    if (m_chosen) {
        const TriggerInfo trigger = info(LiveQueries::visibleTriggers(m_model), m_chosen);
        // One centred line on a rounded well.
        auto *chip = new WellBox(9);
        auto *layout = new QVBoxLayout(chip);
        layout->setContentsMargins(0, 8, 0, 8);
        m_filed = new ThemedText(filedLine(trigger), Fonts::rounded(13, QFont::Bold), Theme::ink);
        layout->addWidget(m_filed);
        m_filing = chip;
    } else {
        m_grid = new TriggerGrid(LiveQueries::visibleTriggers(m_model), std::nullopt, 5, false,
                                 [this](const Trigger &t) { choose(t.key); });
        m_filing = m_grid;
    }
    // Below the header, above a banner.
    m_stack->insertWidget(1, m_filing);
}

void HUDView::choose(const QString &key)
{
    // Filed before anyone is told, so whatever onChosen sets off sees it filed.
    m_model.setTrigger(key, m_event);
    m_event.triggerKey = key;
    m_chosen = key;
    showFiling();
    if (m_onChosen)
        m_onChosen();
}

void HUDView::refresh()
{
    m_today->setValue(LiveQueries::todayCount(m_model));
    if (m_grid) {
        const QList<Trigger> visible = LiveQueries::visibleTriggers(m_model);
        if (LiveQueries::triggersDiffer(m_grid->triggers(), visible))
            m_grid->setTriggers(visible);
    } else if (m_filed && m_chosen) {
        const TriggerInfo trigger = info(LiveQueries::visibleTriggers(m_model), m_chosen);
        m_filed->setText(filedLine(trigger));
    }
}

void HUDView::refreshBanner()
{
    const Achievement *fresh = m_model.freshAchievement();
    if (fresh && !m_banner) {
        m_banner = new AchievementBanner(*fresh);
        m_stack->addWidget(m_banner);
        m_banner->enter();
    } else if (fresh) {
        m_banner->setAchievement(fresh->emoji, fresh->title);
    } else if (m_banner) {
        AchievementBanner *banner = m_banner;
        m_banner = nullptr;
        m_stack->removeWidget(banner);
        banner->deleteLater();
    }
}

int HUDView::todayCount() const
{
    return m_today->value();
}

QString HUDView::loggedText() const
{
    return m_logged->text();
}

QString HUDView::filedText() const
{
    return m_filed ? m_filed->text() : QString();
}

void HUDView::enterEvent(QEnterEvent *event)
{
    if (m_onHover)
        m_onHover(true);
    QWidget::enterEvent(event);
}

void HUDView::leaveEvent(QEvent *event)
{
    if (m_onHover)
        m_onHover(false);
    QWidget::leaveEvent(event);
}
