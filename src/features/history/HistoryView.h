#pragma once

#include "features/history/EventDetailView.h"
#include "features/history/HistoryDays.h"
#include "features/history/HistoryFilter.h"
#include "features/history/HistoryKeys.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class AppModel;
class EmptyHint;
class GXDropdown;
class GXTextField;
class HistoryList;
class OverlayCenter;
class PageHeader;
class QScrollArea;
class QStackedLayout;
class QTimer;
class StickyNote;

// The dashboard's history page: every incident newest first under one pinned header per day, a
// trigger filter and a text search, the editor of the selected incident beside the list, and the
// keyboard: Up and Down walk the rows, Backspace and Delete ask to delete, Escape clears.
// The selection is an incident id, so it survives every re-query; an id whose incident is gone
// matches nothing.
class HistoryView : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryView(AppModel &model, QWidget *parent = nullptr);
    ~HistoryView() override;

    std::optional<qint64> selection() const { return m_selection; }
    // A click on a row: selects without scrolling and ends any text editing.
    void clickRow(qint64 id);
    void clearSelection();
    QString search() const { return m_search; }
    void setSearch(const QString &search);
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter);

    // Moves the selection by `offset` rows through the visible list.
    void step(int offset);
    // The selected incident, looked up over all incidents whatever the filter shows.
    std::optional<VorpEvent> selected() const;
    // Shows the delete confirmation for one incident.
    void askDelete(const VorpEvent &event);

    // Re-reads the incidents and triggers, then filters and groups them again.
    void refresh();

    // Parts, for tests and screenshots.
    PageHeader *header() const { return m_header; }
    GXDropdown *filterDropdown() const { return m_dropdown; }
    GXTextField *searchField() const { return m_searchField; }
    HistoryList *list() const { return m_list; }
    EmptyHint *emptyHint() const { return m_empty; }
    bool showsEmptyHint() const;
    EventDetailView *detail() const { return m_detail; }
    StickyNote *placeholderNote() const { return m_placeholder; }
    const QList<DayGroup> &grouped() const { return m_grouped; }
    bool hasKeyMonitor() const { return m_keyMonitor; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Filters, groups and shows the incidents held; called for every keystroke in the search.
    void recompute();
    void setSelection(std::optional<qint64> id);
    void showDetail();
    void openRowMenu(qint64 id, const QPoint &globalPos);
    std::optional<VorpEvent> eventById(qint64 id) const;
    HistoryKeys::State keyState() const;
    OverlayCenter *overlay() const;
    void installKeys();
    void removeKeys();

    AppModel &m_model;
    // Every incident and trigger as the model's queries give them.
    HistoryEvents m_events;
    QList<Trigger> m_triggers;
    QList<GXOption> m_options; // the drop-down's, as last given to it
    QList<qsizetype> m_filtered;
    // What m_filtered was filtered by, while the incidents it indexes are still the ones held.
    struct FilteredBy
    {
        QString filter;
        QString search;
    };
    std::optional<FilteredBy> m_filteredBy;
    QList<DayGroup> m_grouped;

    std::optional<qint64> m_selection;
    QString m_search;
    QString m_filter = HistoryFilter::all;
    bool m_keyMonitor = false;
    bool m_keyboardMoved = false;

    PageHeader *m_header = nullptr;
    GXDropdown *m_dropdown = nullptr;
    GXTextField *m_searchField = nullptr;
    QStackedLayout *m_listStack = nullptr;
    EmptyHint *m_empty = nullptr;
    HistoryList *m_list = nullptr;
    QStackedLayout *m_detailStack = nullptr;
    StickyNote *m_placeholder = nullptr;
    QScrollArea *m_detailScroll = nullptr;
    QPointer<EventDetailView> m_detail;
    QTimer *m_refreshTimer = nullptr;
};
