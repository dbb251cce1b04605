#pragma once

#include "services/Achievement.h"
#include "ui/BrutalCard.h"

#include <QWidget>

class AppModel;
class PageHeader;

// One achievement as a tile: unlocked ones raised in full colour with a red tape, locked ones
// grey on a lower card with their progress at the bottom.
class AchievementCard : public BrutalCard
{
    Q_OBJECT
public:
    explicit AchievementCard(const Achievement &achievement, QWidget *parent = nullptr);
    const Achievement &achievement() const { return m_achievement; }
    bool isUnlocked() const { return m_achievement.progress >= m_achievement.target; }

private:
    Achievement m_achievement;
};

// Tiles in as many columns as fit at 230 points, each row as tall as its tallest tile.
class AchievementGridView : public QWidget
{
    Q_OBJECT
public:
    explicit AchievementGridView(QWidget *parent = nullptr);

    void setCards(const QList<AchievementCard *> &cards);
    QList<AchievementCard *> cards() const { return m_cards; }
    int columnCount() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<int> rowHeights(int width) const;
    void place();

    QList<AchievementCard *> m_cards;
};

// The achievements page: every achievement of the catalogue with its progress, evaluated afresh
// from all incidents.
class AchievementsView : public QWidget
{
    Q_OBJECT
public:
    explicit AchievementsView(AppModel &model, QWidget *parent = nullptr);

    void refresh();
    PageHeader *header() const { return m_header; }
    AchievementGridView *grid() const { return m_grid; }

private:
    AppModel &m_model;
    class QTimer *m_refreshTimer;
    PageHeader *m_header;
    AchievementGridView *m_grid;
    QList<Achievement> m_shown; // what the cards show, so an unchanged refresh keeps them
};
