#pragma once

#include "services/CountItem.h"
#include "services/Scope.h"
#include "ui/BrutalCard.h"

#include <QStringList>
#include <optional>

class BarRow;
class HourStrip;
class QVBoxLayout;
class ThemedLabel;

// A ranking card: a tape title with the scope's name at the right, then one row per item.
class RankingCard : public BrutalCard
{
    Q_OBJECT
public:
    QList<CountItem> rows() const { return m_rows; }

protected:
    RankingCard(const QString &title, qreal tilt, QWidget *parent);
    // Whether the card already shows these rows for this scope and total, so a refresh that
    // changed nothing here leaves its widgets (and their paint) alone.
    bool shows(const QList<CountItem> &rows, Scope scope, int total = 0) const;
    // Replaces the rows: the hint when there are none.
    void startRows(const QList<CountItem> &rows, Scope scope, const QString &emptyHint, int total = 0);
    void addBar(BarRow *bar);
    // Whether the card shows the same entries in the same order for this scope, so only their
    // figures need to change; then keepRows() records the new rows.
    bool hasSameEntries(const QList<CountItem> &rows, Scope scope) const;
    void keepRows(const QList<CountItem> &rows, int total = 0);
    const QList<BarRow *> &bars() const { return m_bars; }

private:
    ThemedLabel *m_scope;
    QVBoxLayout *m_list;
    QList<CountItem> m_rows;
    QList<BarRow *> m_bars;
    std::optional<Scope> m_shownScope;
    int m_shownTotal = 0;
};

// The ranking of triggers in the chosen range: at most six rows, the sixth folding the rest.
class TopTriggersCard : public RankingCard
{
    Q_OBJECT
public:
    explicit TopTriggersCard(QWidget *parent = nullptr);
    void setItems(const QList<CountItem> &items, Scope scope);
};

// The applications in which things went wrong: the first five, with their share of all.
class TopAppsCard : public RankingCard
{
    Q_OBJECT
public:
    explicit TopAppsCard(QWidget *parent = nullptr);
    void setItems(const QList<CountItem> &items, Scope scope);
};

// The most dangerous hour of the day over a strip of all twenty-four, under a hazard band.
class DangerZoneCard : public BrutalCard
{
    Q_OBJECT
public:
    explicit DangerZoneCard(QWidget *parent = nullptr);
    void setHours(const QList<int> &hours);
    std::optional<int> peak() const { return m_peak; }
    QString rangeText() const;
    HourStrip *strip() const { return m_strip; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QList<int>> m_hours;
    std::optional<int> m_peak;
    ThemedLabel *m_range;
    ThemedLabel *m_line;
    QWidget *m_empty;
    HourStrip *m_strip;
};

// The observation sentences, one arrow each.
class FieldNotesCard : public BrutalCard
{
    Q_OBJECT
public:
    explicit FieldNotesCard(QWidget *parent = nullptr);
    void setLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }

private:
    QVBoxLayout *m_list;
    QStringList m_lines;
};

// Removes and deletes every item of a layout (rows rebuilt on each refresh).
void clearLayout(QVBoxLayout *layout);
