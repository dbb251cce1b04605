#include "features/toast/HUDView.h"

#include "app/AppModel.h"
#include "models/Store.h"
#include "services/Achievement.h"
#include "ui/AchievementBanner.h"
#include "ui/AppIconCache.h"
#include "ui/BrutalCard.h"
#include "ui/ChosenSkin.h"
#include "ui/FadeEffect.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/LiveQueries.h"
#include "ui/MiniButton.h"
#include "ui/SpringAnimator.h"
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

// The picker giving way to the filed chip: both drawn at the top of the filing area, the grid
// fading out and the chip in, while the area's height springs from the grid's to the chip's.
class FilingSwap : public QWidget
{
public:
    FilingSwap(QWidget *grid, QWidget *chip, QWidget *parent = nullptr)
        : QWidget(parent), m_grid(grid), m_chip(chip), m_from(grid->height()), m_to(chip->sizeHint().height())
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_grid->setParent(this);
        m_chip->setParent(this);
        m_gridFade = new FadeEffect(m_grid);
        m_grid->setGraphicsEffect(m_gridFade);
        m_chipFade = new FadeEffect(m_chip);
        m_chipFade->setOpacity(0);
        m_chip->setGraphicsEffect(m_chipFade);
        m_grid->show();
        m_chip->show();
        m_spring = new SpringAnimator(0.5, 0.85, this);
        connect(m_spring, &SpringAnimator::valueChanged, this, [this](qreal v) { setProgress(v); });
        connect(m_spring, &SpringAnimator::settled, this, [this] { finish(); });
        m_spring->jumpTo(0);
        m_spring->setTarget(1);
    }
    bool isRunning() const { return m_grid; }
    QSize sizeHint() const override { return QSize(m_chip->sizeHint().width(), m_height); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *) override { place(); }

private:
    void setProgress(qreal v)
    {
        m_gridFade->setOpacity(1 - v);
        m_chipFade->setOpacity(v);
        m_height = qMax(0, qRound(m_from + (m_to - m_from) * v));
        updateGeometry();
        place();
    }
    void finish()
    {
        if (!m_grid)
            return;
        setProgress(1);
        delete m_grid;
        m_grid = nullptr;
        m_chip->setGraphicsEffect(nullptr);
        m_height = m_to;
        updateGeometry();
    }
    void place()
    {
        if (m_grid)
            m_grid->setGeometry(0, 0, width(), m_from);
        m_chip->setGeometry(0, 0, width(), m_to);
    }

    QWidget *m_grid;
    QWidget *m_chip;
    int m_from;
    int m_to;
    int m_height = m_from;
    FadeEffect *m_gridFade;
    FadeEffect *m_chipFade;
    SpringAnimator *m_spring;
};

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

QWidget *HUDView::makeChip()
{
    const TriggerInfo trigger = info(LiveQueries::visibleTriggers(m_model), m_chosen);
    // One centred line on a rounded well.
    auto *chip = new WellBox(9);
    auto *layout = new QVBoxLayout(chip);
    layout->setContentsMargins(0, 8, 0, 8);
    m_filed = new ThemedText(filedLine(trigger), Fonts::rounded(13, QFont::Bold), Theme::ink);
    layout->addWidget(m_filed);
    return chip;
}

void HUDView::showFiling()
{
    QWidget *grid = m_grid;
    if (grid && m_chosen && isVisible() && SpringAnimator::animationsEnabled()) {
        // Picked: the grid gives way to the chip inside one spring.
        m_stack->removeWidget(grid);
        m_grid = nullptr;
        m_filing = new FilingSwap(grid, makeChip());
        m_stack->insertWidget(1, m_filing);
        return;
    }
    if (m_filing) {
        m_stack->removeWidget(m_filing);
        m_filing->deleteLater();
    }
    m_grid = nullptr;
    m_filed = nullptr;
    if (m_chosen) {
        m_filing = makeChip();
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

bool HUDView::isSwapping() const
{
    auto *swap = dynamic_cast<FilingSwap *>(m_filing);
    return swap && swap->isRunning();
}
