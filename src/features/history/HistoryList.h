#pragma once

#include "features/history/EventRow.h"
#include "features/history/HistoryDays.h"
#include "features/history/HistoryListLayout.h"
#include "models/Calendar.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <optional>

class QVariantAnimation;

// The history page's list: day sections of incident rows under a pinned day header. It lays out
// every row as numbers and paints only those in view, so a list of 100,000 incidents costs no
// more to show or scroll than one of twenty.
class HistoryList : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit HistoryList(QWidget *parent = nullptr);

    // What to show: the incidents (indices in `groups` point into them), the triggers to name them
    // by, the day groups, the calendar and the time the day titles are relative to.
    void setContent(const HistoryEvents &events, const QList<Trigger> &triggers,
                    const QList<DayGroup> &groups, const Calendar &calendar, const QDateTime &now);
    void setSelection(std::optional<qint64> id);
    std::optional<qint64> selection() const { return m_selection; }

    // The incident ids of the rows from top to bottom.
    QList<qint64> rowIds() const;
    const HistoryListLayout &listLayout() const { return m_layout; }
    // A row's rectangle in viewport coordinates; empty when the incident is not listed.
    QRect rowRect(qint64 id) const;
    // Scrolls the least that shows the row whole below the pinned header, in 0.12 s ease-out.
    void scrollToRow(qint64 id);
    bool isScrolling() const;
    // The title of a day's header (kept per day: formatting a localized date is not cheap).
    QString dayTitle(const QDate &day) const;

Q_SIGNALS:
    void rowClicked(qint64 id);
    void rowContextMenu(qint64 id, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    qint64 idOf(qsizetype event) const;
    qsizetype itemOfId(qint64 id) const;
    qreal scroll() const;
    QRectF itemRect(const HistoryListLayout::Item &item) const;
    // The incident row under a viewport point, or -1 (the pinned header hides what is below it).
    qsizetype rowItemAt(const QPointF &pos) const;
    void updateScrollRange();
    void setHovered(qsizetype item);
    void updateRowOf(std::optional<qint64> id);
    // The quote of a row, laid out once per line and width and kept while rows show it.
    std::shared_ptr<const NoteQuote> quoteFor(qint64 id, const QString &line, qreal width);

    HistoryEvents m_events; // shared with the page and the store: read with at(), never detached
    QList<Trigger> m_triggers;
    QList<DayGroup> m_groups;
    Calendar m_calendar;
    QDateTime m_now;
    HistoryListLayout m_layout;
    std::optional<qint64> m_selection;
    qsizetype m_hovered = -1;
    mutable QHash<QDate, QString> m_titles;
    struct KeptQuote
    {
        QString line;
        std::shared_ptr<const NoteQuote> quote;
    };
    QHash<qint64, KeptQuote> m_quotes;
    QVariantAnimation *m_scroll;
};
