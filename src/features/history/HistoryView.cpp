#include "features/history/HistoryView.h"

#include "app/AppModel.h"
#include "features/history/EventDetailView.h"
#include "features/history/HistoryList.h"
#include "features/history/IncidentDelete.h"
#include "models/Calendar.h"
#include "ui/BrutalCard.h"
#include "ui/DialogCard.h"
#include "ui/EmptyHint.h"
#include "ui/GXDropdown.h"
#include "ui/GXTextField.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/PageHeader.h"
#include "ui/PageRefresh.h"
#include "ui/StickyNote.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStackedLayout>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

HistoryView::HistoryView(AppModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(32, 32, 32, 32);
    column->setSpacing(22);

    auto *tools = new QWidget;
    auto *toolRow = new QHBoxLayout(tools);
    toolRow->setContentsMargins(0, 0, 0, 0);
    toolRow->setSpacing(10);
    m_dropdown = new GXDropdown({}, m_filter, 180, 210, false);
    connect(m_dropdown, &GXDropdown::selectionChanged, this,
            [this](const QVariant &value) { setFilter(value.toString()); });
    toolRow->addWidget(m_dropdown, 0, Qt::AlignVCenter);
    m_searchField =
        new GXTextField(QStringLiteral("Search notes & apps"), QStringLiteral("magnifyingglass"), true);
    m_searchField->setFixedWidth(230);
    connect(m_searchField, &GXTextField::textChanged, this, &HistoryView::setSearch);
    toolRow->addWidget(m_searchField, 0, Qt::AlignVCenter);
    m_header = new PageHeader(QString(), QStringLiteral("The paper trail."), tools);
    column->addWidget(m_header);

    auto *mainRow = new QHBoxLayout;
    auto *card = new BrutalCard(0, Theme::card, 16, 4);
    // The card holds its slab inside its frame; the slab lies in the gap, which counts from the
    // card's own edge.
    const int room = qCeil(card->lift());
    card->setFixedWidth(400 + room);
    mainRow->setSpacing(22 - room);
    m_listStack = new QStackedLayout(card);
    m_empty = new EmptyHint(QString());
    m_list = new HistoryList;
    connect(m_list, &HistoryList::rowClicked, this, &HistoryView::clickRow);
    connect(m_list, &HistoryList::rowContextMenu, this, &HistoryView::openRowMenu);
    m_listStack->addWidget(m_empty);
    m_listStack->addWidget(m_list);
    mainRow->addWidget(card);

    auto *detailArea = new QWidget;
    m_detailStack = new QStackedLayout(detailArea);
    auto *noteArea = new QWidget;
    auto *noteCenter = new QVBoxLayout(noteArea);
    m_placeholder = new StickyNote(QStringLiteral("Click an incident\nto add the juicy\ndetails."), 180, 2);
    noteCenter->addWidget(m_placeholder, 0, Qt::AlignCenter);
    m_detailStack->addWidget(noteArea);
    m_detailScroll = new QScrollArea;
    m_detailScroll->setFrameShape(QFrame::NoFrame);
    m_detailScroll->setWidgetResizable(true);
    m_detailScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_detailScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_detailScroll->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    m_detailStack->addWidget(m_detailScroll);
    mainRow->addWidget(detailArea, 1);
    column->addLayout(mainRow, 1);

    m_refreshTimer = watchForRefresh(m_model, this, [this] { refresh(); });
    refresh();
}

HistoryView::~HistoryView()
{
    removeKeys();
    // The editor saves its note while the page is still whole.
    delete m_detail;
}

void HistoryView::refresh()
{
    m_refreshTimer->stop();
    // The page reads its incidents as one contiguous span: a private copy, which a later insert leaves
    // alone (the store never shares its list, so holding this copy costs a log nothing).
    m_events = m_model.allEvents().toList();
    m_triggers = m_model.allTriggers();
    m_filteredBy.reset(); // the incidents or their triggers may have changed
    // A key typed into a note refreshes the page: what did not change is left alone (and unpainted).
    const QString eyebrow = QStringLiteral("%1 incidents on file").arg(m_events.size());
    if (m_header->eyebrow() != eyebrow)
        m_header->setEyebrow(eyebrow);
    const QList<GXOption> options = HistoryFilter::options(m_triggers);
    const auto same = [](const GXOption &a, const GXOption &b) {
        return a.value == b.value && a.label == b.label && a.emoji == b.emoji &&
               a.dividerBefore == b.dividerBefore;
    };
    if (!std::equal(options.begin(), options.end(), m_options.begin(), m_options.end(), same)) {
        m_options = options;
        m_dropdown->setOptions(options);
    }
    recompute();
}

void HistoryView::recompute()
{
    const EventSpan events = spanOf(m_events);
    const Calendar calendar(m_model.timeZone());
    // Typing on at a search tests only what the search found a key ago.
    const bool narrowing = m_filteredBy && m_filteredBy->filter == m_filter &&
                           HistoryFilter::narrows(m_filteredBy->search, m_search);
    m_filtered =
        HistoryFilter::filter(events, m_triggers, m_filter, m_search, narrowing ? &m_filtered : nullptr);
    m_filteredBy = FilteredBy{m_filter, m_search};
    m_grouped = HistoryDays::group(events, m_filtered, calendar);
    if (m_filtered.isEmpty()) {
        const QString hint = m_events.isEmpty() ? QStringLiteral("Nothing yet.\nGo press the button.")
                                                : QStringLiteral("No matches.");
        if (m_empty->text() != hint)
            m_empty->setText(hint);
        m_listStack->setCurrentWidget(m_empty);
    } else {
        m_listStack->setCurrentWidget(m_list);
    }
    m_list->setContent(m_events, m_triggers, m_grouped, calendar, m_model.now());
    m_list->setSelection(m_selection);
    showDetail();
}

bool HistoryView::showsEmptyHint() const
{
    return m_listStack->currentWidget() == m_empty;
}

void HistoryView::setSearch(const QString &search)
{
    if (search == m_search)
        return;
    m_search = search;
    if (m_searchField->text() != search)
        m_searchField->setText(search);
    recompute();
}

void HistoryView::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    m_dropdown->setSelection(filter);
    recompute();
}

std::optional<VorpEvent> HistoryView::eventById(qint64 id) const
{
    for (const VorpEvent &event : m_events)
        if (event.id == id)
            return event;
    return std::nullopt;
}

std::optional<VorpEvent> HistoryView::selected() const
{
    return m_selection ? eventById(*m_selection) : std::nullopt;
}

void HistoryView::setSelection(std::optional<qint64> id)
{
    if (id == m_selection)
        return;
    m_selection = id;
    m_list->setSelection(id);
    showDetail();
    if (id && m_keyboardMoved) {
        m_keyboardMoved = false;
        m_list->scrollToRow(*id);
    }
}

void HistoryView::clickRow(qint64 id)
{
    setSelection(id);
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
}

void HistoryView::clearSelection()
{
    setSelection(std::nullopt);
}

void HistoryView::step(int offset)
{
    const QList<qint64> rows = m_list->rowIds();
    const auto target = HistoryKeys::stepTarget(rows, m_selection, offset);
    if (!target)
        return;
    m_keyboardMoved = true;
    setSelection(rows.at(*target));
}

void HistoryView::showDetail()
{
    const std::optional<VorpEvent> event = selected();
    if (!event) {
        delete m_detail;
        m_detailStack->setCurrentIndex(0);
        return;
    }
    if (m_detail && m_detail->eventId() == event->id) {
        m_detail->setEvent(*event, m_triggers);
    } else {
        // Another incident gets a fresh editor; the old one saves its note as it goes.
        delete m_detail;
        auto *holder = new QWidget;
        auto *pad = new QVBoxLayout(holder);
        m_detail = new EventDetailView(m_model, *event, m_triggers, [page = QPointer(this)] {
            if (page)
                page->clearSelection();
        });
        // The editor's slab lies in the padding beside and below it, as the list's lies in the gap.
        const int room = qCeil(m_detail->lift());
        pad->setContentsMargins(0, 0, 6 - room, 8 - room);
        pad->addWidget(m_detail);
        pad->addStretch(1);
        m_detailScroll->setWidget(holder);
    }
    m_detailStack->setCurrentIndex(1);
}

OverlayCenter *HistoryView::overlay() const
{
    return OverlayCenter::of(this);
}

void HistoryView::askDelete(const VorpEvent &event)
{
    askDeleteIncident(overlay(), [page = QPointer(this), model = &m_model, event] {
        if (page && page->m_selection == event.id)
            page->clearSelection();
        model->deleteEvent(event);
    });
}

void HistoryView::openRowMenu(qint64 id, const QPoint &globalPos)
{
    OverlayCenter *center = overlay();
    if (!center || !center->host())
        return;
    auto *row = new MenuRow(std::nullopt, QStringLiteral("Delete incident"), false, true);
    connect(row, &QAbstractButton::clicked, this, [this, id] {
        if (const auto event = eventById(id))
            askDelete(*event);
    });
    auto *menu = new QWidget;
    auto *layout = new QVBoxLayout(menu);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(row);
    // The menu opens at the pointer: its anchor is a point 6 above it.
    const QPointF at = center->host()->mapFromGlobal(globalPos);
    center->show(QRectF(at - QPointF(0, 6), QSizeF(0, 0)), 180, false, new PopoverSurface(menu));
}

HistoryKeys::State HistoryView::keyState() const
{
    HistoryKeys::State state;
    QWidget *focus = QApplication::focusWidget();
    state.textFocused = qobject_cast<LineEditor *>(focus) || qobject_cast<QLineEdit *>(focus) ||
                        qobject_cast<QTextEdit *>(focus) || qobject_cast<QPlainTextEdit *>(focus);
    if (OverlayCenter *center = overlay()) {
        state.popupOpen = center->popup().has_value();
        state.dialogOpen = center->dialog().has_value() || center->modal();
    }
    state.hasSelection = m_selection.has_value();
    state.selectedExists = selected().has_value();
    return state;
}

void HistoryView::installKeys()
{
    removeKeys();
    qApp->installEventFilter(this);
    m_keyMonitor = true;
}

void HistoryView::removeKeys()
{
    if (m_keyMonitor && qApp)
        qApp->removeEventFilter(this);
    m_keyMonitor = false;
}

void HistoryView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    installKeys();
}

void HistoryView::hideEvent(QHideEvent *event)
{
    removeKeys();
    QWidget::hideEvent(event);
}

bool HistoryView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QWidget::eventFilter(watched, event);
    // Only keys aimed at this page's window.
    auto *target = qobject_cast<QWidget *>(watched);
    if (!target || target->window() != window())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const HistoryKeys::Action action = HistoryKeys::decide(key->key(), key->modifiers(), keyState());
    if (action == HistoryKeys::Action::PassOn)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim the key so that no shortcut takes it; the key press follows.
        key->accept();
        return true;
    }
    switch (action) {
    case HistoryKeys::Action::StepDown:
        step(+1);
        break;
    case HistoryKeys::Action::StepUp:
        step(-1);
        break;
    case HistoryKeys::Action::AskDelete:
        if (const auto event = selected())
            askDelete(*event);
        break;
    case HistoryKeys::Action::ClearSelection:
        clearSelection();
        break;
    case HistoryKeys::Action::PassOn:
        break;
    }
    return true;
}
