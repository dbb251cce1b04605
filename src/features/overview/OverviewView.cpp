#include "features/overview/OverviewView.h"

#include "app/AppModel.h"
#include "features/overview/OverviewCards.h"
#include "features/overview/OverviewData.h"
#include "features/overview/WeekChartCard.h"
#include "services/Achievement.h"
#include "services/Copy.h"
#include "services/DateSkeleton.h"
#include "ui/AchievementBanner.h"
#include "ui/BrutalCard.h"
#include "ui/ChosenSkin.h"
#include "ui/ChunkySegmented.h"
#include "ui/EStopButton.h"
#include "ui/FadeEffect.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/GlideBox.h"
#include "ui/ItemRowLayout.h"
#include "ui/Labels.h"
#include "ui/LiveQueries.h"
#include "ui/PageHeader.h"
#include "ui/PageRefresh.h"
#include "ui/PageScroll.h"
#include "ui/SpringAnimator.h"
#include "ui/StickyNote.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"

#include <QHBoxLayout>
#include <QRandomGenerator>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

namespace {

constexpr int heroWidth = 360; // the grid and the banner beside the button

// A counter tile: the label over split-flap digits, red when it is the accent.
BrutalCard *statTile(const QString &label, bool accent, FlapCounter **counter)
{
    auto *tile = new BrutalCard(16, accent ? Theme::red : Theme::card, 16, 4);
    auto *row = new QHBoxLayout(tile);
    row->setContentsMargins(0, 0, 0, 0);
    auto *column = new QVBoxLayout;
    column->setSpacing(8);
    column->addWidget(new ThemedLabel(label.toUpper(), Fonts::tracked(Fonts::mono(10, QFont::ExtraBold), 1.4),
                                      accent ? Theme::white.opacity(0.85) : Theme::dim));
    *counter = new FlapCounter(0, 26, 1, Theme::white);
    column->addWidget(*counter, 0, Qt::AlignLeft);
    row->addLayout(column);
    row->addStretch(1);
    tile->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    return tile;
}

// The key caps and "from anywhere": side by side, centred on each other, where the text column
// holds both; where a longer shortcut leaves no room, the words go on a line of their own below.
class KeysRow : public ItemRowLayout
{
public:
    KeysRow() : ItemRowLayout(8) { setContentsMargins(0, 0, 0, 0); }

    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    QSize minimumSize() const override
    {
        QSize least;
        for (const QLayoutItem *item : m_items)
            least = least.expandedTo(item->sizeHint());
        return least;
    }

protected:
    int place(const QRect &rect, bool apply) const override
    {
        if (sizeHint().width() <= rect.width()) {
            const int height = sizeHint().height();
            int x = rect.left();
            for (QLayoutItem *item : m_items) {
                const QSize size = item->sizeHint();
                if (apply)
                    item->setGeometry(QRect(QPoint(x, rect.top() + (height - size.height()) / 2), size));
                x += size.width() + m_spacing;
            }
            return height;
        }
        int y = rect.top();
        for (QLayoutItem *item : m_items) {
            if (apply)
                item->setGeometry(QRect(QPoint(rect.left(), y), item->sizeHint()));
            y += item->sizeHint().height() + m_spacing;
        }
        return y - m_spacing - rect.top();
    }
};

} // namespace

OverviewView::OverviewView(AppModel &model, QWidget *parent)
    : QWidget(parent), m_model(model), m_seed(int(QRandomGenerator::global()->bounded(1000)))
{
    QVBoxLayout *column = nullptr;
    makePageScroll(this, &column, 26);

    m_scopePicker =
        new ChunkySegmented({rawValue(Scope::week), rawValue(Scope::month), rawValue(Scope::all)}, 0);
    connect(m_scopePicker, &ChunkySegmented::activated, this,
            [this](int index) { setScope(allScopes().value(index, Scope::week)); });
    m_header = new PageHeader(QString(), QStringLiteral("Track the chaos."), m_scopePicker);
    column->addWidget(m_header);

    // The cards' gaps run from edge to edge, their slabs lying in the gaps and the padding, so the
    // hero keeps all the width its fixed neighbours leave it.
    BrutalCard *hero = buildHero();
    const int room = hero->slabRoom();
    auto *heroRow = new CardRow(QBoxLayout::LeftToRight, 22, room);
    heroRow->addWidget(hero, 1);
    heroRow->addWidget(buildTiles());
    column->addLayout(heroRow);
    m_heroRow = heroRow;

    auto *chartRow = new CardRow(QBoxLayout::LeftToRight, 22, room);
    m_week = new WeekChartCard;
    m_topTriggers = new TopTriggersCard;
    // Gives up a little of its width before the chart is pushed out of the smallest window.
    m_topTriggers->setMinimumWidth(270 + 4);
    m_topTriggers->setMaximumWidth(320 + 4);
    chartRow->addWidget(m_week, 1);
    chartRow->addWidget(m_topTriggers);
    column->addLayout(chartRow);

    auto *rankRow = new CardRow(QBoxLayout::LeftToRight, 22, room);
    m_topApps = new TopAppsCard;
    m_danger = new DangerZoneCard;
    rankRow->addWidget(m_topApps, 1);
    rankRow->addWidget(m_danger, 1);
    column->addLayout(rankRow);

    auto *notesRow = new CardRow(QBoxLayout::LeftToRight, 30, room);
    m_notes = new FieldNotesCard;
    notesRow->addWidget(m_notes, 1, Qt::AlignTop);
    auto *note = new StickyNote(Copy::stickyNote(m_seed), 170, -3);
    note->setObjectName(QStringLiteral("stickyNote"));
    auto *noteBox = new QVBoxLayout;
    // The note has no slab: the room the row gives its last item for one is padding here.
    noteBox->setContentsMargins(0, 8, 20 + room, 0);
    noteBox->addWidget(note);
    noteBox->addStretch(1);
    notesRow->addLayout(noteBox);
    column->addLayout(notesRow);
    column->addStretch(1);

    m_relativeTimer = new QTimer(this);
    m_relativeTimer->setInterval(30 * 1000);
    connect(m_relativeTimer, &QTimer::timeout, this, &OverviewView::refreshRelative);
    m_relativeTimer->start();

    m_refreshTimer = watchForRefresh(m_model, this, [this] { refresh(); });
    connect(&m_model, &AppModel::freshAchievementChanged, this, &OverviewView::refreshBanner);
    connect(&m_model, &AppModel::shortcutChanged, this,
            [this] { m_keys->setKeys(m_model.shortcutKeyCaps()); });
    refresh();
}

BrutalCard *OverviewView::buildHero()
{
    auto *card = new BrutalCard(24, Theme::card, 22, 4);
    auto *row = new QHBoxLayout(card);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(26);

    m_button = new EStopButton(280, ButtonSkin::classic, [this] { press(); });
    followChosenSkin(m_model.prefs(), m_button,
                     [button = m_button](ButtonSkin skin) { button->setSkin(skin); });
    m_button->addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_button->addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter));
    row->addWidget(m_button, 0, Qt::AlignVCenter);

    // The text column's height follows the hero's spring, so that the card grows and the button
    // centred in it glides rather than jumping when the grid or the banner comes in.
    auto *textBox = new QWidget;
    auto *text = new QVBoxLayout(textBox);
    text->setContentsMargins(0, 0, 0, 0);
    text->setSpacing(12);
    m_headline = new ThemedLabel(QString(), Fonts::rounded(24, QFont::ExtraBold), Theme::ink, true);
    m_headline->setMaximumWidth(heroWidth + 40);
    text->addWidget(m_headline);
    m_relative = new ThemedLabel(QString(), Fonts::rounded(13, QFont::Medium), Theme::dim);
    text->addWidget(m_relative);

    m_keysRow = new QWidget;
    auto *keys = new KeysRow;
    m_keysRow->setLayout(keys);
    m_keys = new KeyCaps(m_model.shortcutKeyCaps(), 13);
    keys->addWidget(m_keys);
    keys->addWidget(
        new ThemedLabel(QStringLiteral("from anywhere"), Fonts::rounded(12, QFont::Medium), Theme::dim));
    text->addWidget(m_keysRow);

    m_grid = new TriggerGrid({}, std::nullopt, 5, false, [this](const Trigger &t) { pick(t); });
    m_grid->setMaximumWidth(heroWidth);
    m_grid->hide();
    text->addWidget(m_grid);

    m_banner = new AchievementBanner(QString(), QString());
    m_banner->setMaximumWidth(heroWidth);
    m_banner->hide();
    text->addWidget(m_banner);
    text->addStretch(1);

    m_textColumn = new GlideBox(textBox);
    row->addWidget(m_textColumn, 1);

    m_heroSpring = new SpringAnimator(0.5, 0.85, this);
    connect(m_heroSpring, &SpringAnimator::valueChanged, this, &OverviewView::heroChangeStep);
    connect(m_heroSpring, &SpringAnimator::settled, this, &OverviewView::finishHeroChange);
    return card;
}

QWidget *OverviewView::buildTiles()
{
    auto *tiles = new QWidget;
    tiles->setFixedWidth(230 + 4);
    auto *column = new QVBoxLayout(tiles);
    m_tilesBox = tiles;
    m_tilesLayout = column;
    column->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char *, bool> specs[] = {
        {"Today", true}, {"This week", false}, {"All time", false}};
    for (const auto &[label, accent] : specs) {
        FlapCounter *counter = nullptr;
        BrutalCard *tile = statTile(QString::fromLatin1(label), accent, &counter);
        // 16 between the tiles' own edges; each slab lies in the gap.
        column->setSpacing(16 - tile->slabRoom());
        column->addWidget(tile, 1);
        m_tiles << counter;
    }
    return tiles;
}

void OverviewView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTiles();
}

void OverviewView::placeTiles()
{
    const bool beside = width() >= tilesBesideHeroFrom;
    if (beside == m_tilesBeside)
        return;
    m_tilesBeside = beside;
    m_heroRow->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    m_tilesLayout->setDirection(beside ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    if (beside) {
        m_tilesBox->setFixedWidth(230 + 4);
    } else {
        m_tilesBox->setMinimumWidth(0);
        m_tilesBox->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

Analytics OverviewView::analytics() const
{
    // Oldest first: a snapshot of the store, which the week chart may keep without holding up inserts.
    return Analytics{m_model.allEvents(), Calendar(m_model.timeZone()), m_model.now()};
}

QList<Trigger> OverviewView::visibleTriggers() const
{
    QList<Trigger> visible;
    for (const Trigger &t : m_triggers)
        if (!t.isHidden)
            visible << t;
    return visible;
}

void OverviewView::refresh()
{
    m_refreshTimer->stop();
    const Analytics a = analytics();
    m_triggers = m_model.allTriggers();
    const OverviewData data = OverviewData::compute(a, m_triggers, m_scope);

    m_header->setEyebrow(formatSkeleton(a.cal.toLocal(a.now), QStringLiteral("EEEEdMMMM")));
    m_newest = data.newest;
    // A page still being built shows its counts from its first frame; only a change in view rolls.
    const bool roll = isVisible();
    m_tiles[0]->setValue(data.today, roll);
    m_tiles[1]->setValue(data.thisWeek, roll);
    m_tiles[2]->setValue(data.allTime, roll);
    m_week->setData(a, m_triggers);
    m_topTriggers->setItems(data.triggers, m_scope);
    m_topApps->setItems(data.apps, m_scope);
    m_danger->setHours(data.hours);
    m_notes->setLines(data.notes);
    if (const QList<Trigger> visible = visibleTriggers();
        LiveQueries::triggersDiffer(m_grid->triggers(), visible))
        m_grid->setTriggers(visible);
    refreshHero();
    refreshRelative();
    refreshBanner();
}

void OverviewView::refreshHero()
{
    QString headline;
    if (m_logged) {
        headline = Copy::afterPress(m_tiles[0]->value());
    } else {
        const QStringList &lines = Copy::taglines();
        headline = lines.value(std::abs(m_seed) % lines.size());
    }
    const bool animate = isVisible() && SpringAnimator::animationsEnabled();
    const bool newHeadline = animate && headline != m_headline->text() && !m_headline->text().isEmpty();
    const bool gridEnters = animate && m_logged && m_grid->isHidden();
    if (newHeadline || gridEnters)
        startHeroChange(newHeadline, gridEnters);
    m_headline->setText(headline);
    if (newHeadline) {
        m_headTo = m_headline->hasHeightForWidth() ? m_headline->heightForWidth(m_headline->width())
                                                   : m_headline->sizeHint().height();
        heroChangeStep(m_heroSpring->value());
    }
    m_keysRow->setVisible(!m_logged);
    m_grid->setVisible(m_logged.has_value());
    m_grid->setSelected(m_chosen);
}

void OverviewView::startHeroChange(bool headline, bool grid)
{
    // Taken before anything in the column changes: the glide starts from the height on screen.
    m_textColumn->hold();
    if (headline) {
        // The text as it stands now fades out where it stood; the new text fades in beneath.
        // A change still running is cut short: the picture is of the text in full.
        delete m_oldHeadline;
        m_headline->setGraphicsEffect(nullptr);
        m_headFrom = m_headTo = m_headline->height();
        m_oldHeadline = new FadingSnapshot(m_headline);
        m_headline->setGraphicsEffect(new FadeEffect(m_headline));
    }
    if (grid) {
        // The key caps give way to the grid: their picture fades out as the grid rises in.
        delete m_oldKeys;
        m_grid->setGraphicsEffect(nullptr);
        if (m_keysRow->isVisible())
            m_oldKeys = new FadingSnapshot(m_keysRow);
        m_grid->setGraphicsEffect(new FadeEffect(m_grid));
    }
    m_heroSpring->jumpTo(0);
    heroChangeStep(0);
    m_heroSpring->setTarget(1);
}

void OverviewView::heroChangeStep(qreal v)
{
    // Every part of the change stops at the spring's target: past it, the overshoot and the slow
    // settling would change nothing on screen but lay the page out and paint it again for as long.
    if (v >= 1 && isHeroChanging()) {
        finishHeroChange();
        return;
    }
    // The texts cross-fade on an ease-out of the spring: tied to the spring itself, the old text
    // would hang as a faint ghost while the spring creeps the last tenth to its target, and go in
    // one frame when the spring got there.
    const qreal rest = 1 - qBound<qreal>(0, v, 1);
    const qreal crossFade = 1 - rest * rest;
    int headLag = 0;
    if (m_oldHeadline) {
        m_oldHeadline->setOpacity(1 - crossFade);
        const int head = qRound(m_headFrom + (m_headTo - m_headFrom) * qBound<qreal>(0, v, 1));
        m_headline->setFixedHeight(head);
        headLag = m_headTo - head;
    }
    if (m_oldKeys)
        m_oldKeys->setOpacity(1 - crossFade);
    m_textColumn->glide(v, headLag);
    if (auto *in = qobject_cast<FadeEffect *>(m_headline->graphicsEffect()))
        in->setOpacity(crossFade);
    if (auto *in = qobject_cast<FadeEffect *>(m_grid->graphicsEffect())) {
        // Rises from below: starts a fifth of its own height (or more) lower.
        in->setOpacity(v);
        in->setDrop((1 - v) * qMax(24, m_grid->height() / 5));
    }
}

void OverviewView::finishHeroChange()
{
    if (m_oldHeadline) {
        m_headline->setMinimumHeight(0);
        m_headline->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    delete m_oldHeadline;
    delete m_oldKeys;
    m_headline->setGraphicsEffect(nullptr);
    m_grid->setGraphicsEffect(nullptr);
    m_textColumn->release();
}

QWidget *OverviewView::headlineLabel() const
{
    return m_headline;
}

qreal OverviewView::oldHeadlineOpacity() const
{
    return m_oldHeadline ? m_oldHeadline->opacity() : -1;
}

bool OverviewView::isHeroChanging() const
{
    return m_headline->graphicsEffect() || m_grid->graphicsEffect() || m_textColumn->isGliding();
}

void OverviewView::refreshRelative()
{
    m_relative->setText(Copy::relative(m_newest, m_model.now()));
}

void OverviewView::refreshBanner()
{
    const Achievement *fresh = m_model.freshAchievement();
    // The banner coming or going changes the column's height: outside a press that already glides,
    // the column glides on a change of its own.
    const bool glide = !m_textColumn->isGliding() && isVisible() && SpringAnimator::animationsEnabled();
    if (fresh) {
        const bool wasHidden = m_banner->isHidden();
        m_banner->setAchievement(fresh->emoji, fresh->title);
        if (wasHidden && glide)
            startHeroChange(false, false);
        m_banner->show();
        if (wasHidden)
            m_banner->enter();
    } else if (!m_banner->isHidden()) {
        if (glide)
            startHeroChange(false, false);
        m_banner->hide();
    }
}

void OverviewView::press()
{
    // No context given: the model charges the incident to the application used before Grumblix.
    m_logged = m_model.log(EventSource::dashboard);
    m_chosen.reset();
    refresh();
}

void OverviewView::pick(const Trigger &trigger)
{
    if (!m_logged)
        return;
    m_model.setTrigger(trigger.key, *m_logged);
    m_logged->triggerKey = trigger.key;
    m_chosen = trigger.key;
    refresh();
}

void OverviewView::setScope(Scope scope)
{
    m_scope = scope;
    m_scopePicker->setSelection(int(allScopes().indexOf(scope)));
    refresh();
}

int OverviewView::weekOffset() const
{
    return m_week->weekOffset();
}

void OverviewView::setSeed(int seed)
{
    m_seed = seed;
    if (auto *note = findChild<StickyNote *>(QStringLiteral("stickyNote")))
        note->setText(Copy::stickyNote(seed));
    refreshHero();
}

QString OverviewView::headline() const
{
    return m_headline->text();
}
QString OverviewView::relativeLine() const
{
    return m_relative->text();
}

QList<int> OverviewView::tileValues() const
{
    QList<int> values;
    for (FlapCounter *c : m_tiles)
        values << c->value();
    return values;
}
