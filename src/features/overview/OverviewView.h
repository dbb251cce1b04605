#pragma once

#include "models/VorpEvent.h"
#include "services/Analytics.h"
#include "services/Scope.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class AchievementBanner;
class AppModel;
class BrutalCard;
class ChunkySegmented;
class DangerZoneCard;
class EStopButton;
class FieldNotesCard;
class FlapCounter;
class GlideBox;
class KeyCaps;
class PageHeader;
class QTimer;
class ThemedLabel;
class FadingSnapshot;
class SpringAnimator;
class TopAppsCard;
class TopTriggersCard;
class TriggerGrid;
class WeekChartCard;

// The dashboard's statistics home page and its second place to log from: the hero button, three
// counters, the week chart, the rankings, the danger zone, the field notes and a sticky note.
// Every figure is recomputed from the full incident list on each refresh.
class OverviewView : public QWidget
{
    Q_OBJECT
public:
    explicit OverviewView(AppModel &model, QWidget *parent = nullptr);

    // The hero button's action: logs from the dashboard and offers the trigger choice.
    void press();
    // Files the incident just logged under a trigger (the grid's pick).
    void pick(const Trigger &trigger);

    Scope scope() const { return m_scope; }
    void setScope(Scope scope);
    int weekOffset() const;
    int seed() const { return m_seed; }
    void setSeed(int seed);
    std::optional<VorpEvent> logged() const { return m_logged; }
    std::optional<QString> chosen() const { return m_chosen; }

    // Rebuilds every figure from the store.
    void refresh();

    // Parts, for tests and screenshots.
    PageHeader *header() const { return m_header; }
    EStopButton *button() const { return m_button; }
    QWidget *headlineLabel() const;
    TriggerGrid *triggerGrid() const { return m_grid; }
    // The headline or the grid is still on its way in after a press, or the column's height glides.
    bool isHeroChanging() const;
    // How much of the old headline still shows while the texts cross-fade; -1 when none fades.
    qreal oldHeadlineOpacity() const;
    // The spring the hero's change runs on; tests step it by hand.
    SpringAnimator *heroSpring() const { return m_heroSpring; }
    WeekChartCard *weekChart() const { return m_week; }
    TopTriggersCard *topTriggers() const { return m_topTriggers; }
    TopAppsCard *topApps() const { return m_topApps; }
    DangerZoneCard *dangerZone() const { return m_danger; }
    FieldNotesCard *fieldNotes() const { return m_notes; }
    QString headline() const;
    QString relativeLine() const;
    QList<int> tileValues() const;

    // Below this page width the three tiles leave the hero's side for a row beneath it, so the
    // hero's text keeps room at the smallest window.
    static constexpr int tilesBesideHeroFrom = 860;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    BrutalCard *buildHero();
    QWidget *buildTiles();
    void placeTiles();
    void refreshHero();
    void startHeroChange(bool headline, bool grid);
    void heroChangeStep(qreal v);
    void finishHeroChange();
    void refreshRelative();
    void refreshBanner();
    Analytics analytics() const;
    QList<Trigger> visibleTriggers() const;

    AppModel &m_model;
    Scope m_scope = Scope::week;
    std::optional<VorpEvent> m_logged;
    std::optional<QString> m_chosen;
    int m_seed;
    std::optional<QDateTime> m_newest;
    QList<Trigger> m_triggers;

    PageHeader *m_header = nullptr;
    ChunkySegmented *m_scopePicker = nullptr;
    EStopButton *m_button = nullptr;
    ThemedLabel *m_headline = nullptr;
    // The hero's change after a press, on one spring: the old headline's picture fading out over
    // the new one fading in, the grid rising into place.
    SpringAnimator *m_heroSpring = nullptr;
    QPointer<FadingSnapshot> m_oldHeadline;
    QPointer<FadingSnapshot> m_oldKeys;
    // The headline's height moves from the old text's to the new one's with the fade.
    int m_headFrom = 0;
    int m_headTo = 0;
    // The text column, whose height follows the same spring.
    GlideBox *m_textColumn = nullptr;
    ThemedLabel *m_relative = nullptr;
    QWidget *m_keysRow = nullptr;
    KeyCaps *m_keys = nullptr;
    TriggerGrid *m_grid = nullptr;
    AchievementBanner *m_banner = nullptr;
    QList<FlapCounter *> m_tiles;
    class QBoxLayout *m_heroRow = nullptr;
    QWidget *m_tilesBox = nullptr;
    class QBoxLayout *m_tilesLayout = nullptr;
    bool m_tilesBeside = true;
    WeekChartCard *m_week = nullptr;
    TopTriggersCard *m_topTriggers = nullptr;
    TopAppsCard *m_topApps = nullptr;
    DangerZoneCard *m_danger = nullptr;
    FieldNotesCard *m_notes = nullptr;
    QTimer *m_relativeTimer = nullptr;
    QTimer *m_refreshTimer = nullptr;
};
