#include "features/history/HistoryList.h"

#include "features/history/EventRow.h"
#include "features/history/IncidentText.h"
#include "ui/Theme.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QVariantAnimation>

namespace {

constexpr qreal kSide = 8; // the stack's padding at the left and the right
// Quotes kept beyond those of the rows in view (a screenful or two) before they are dropped.
constexpr qsizetype kKeptQuotes = 256;

} // namespace

HistoryList::HistoryList(QWidget *parent) : QAbstractScrollArea(parent), m_scroll(new QVariantAnimation(this))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    verticalScrollBar()->setSingleStep(20);
    // A slim bar on the card, drawn in the faint ink: the list sits on a card, not in a frame.
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: 8px; margin: 10px 2px 10px 0; }"
                       "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(Theme::faint.resolve().name()));
    m_scroll->setDuration(120);
    m_scroll->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_scroll, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &v) { verticalScrollBar()->setValue(qRound(v.toReal())); });
}

namespace {

// Whether two trigger lists name every incident alike.
bool sameNames(const QList<Trigger> &a, const QList<Trigger> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Trigger &x, const Trigger &y) {
        return x.key == y.key && x.name == y.name && x.emoji == y.emoji;
    });
}

bool sameDays(const QList<DayGroup> &a, const QList<DayGroup> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const DayGroup &x, const DayGroup &y) { return x.date == y.date; });
}

// Whether an incident's row looks the same for both records.
bool sameRow(const VorpEvent &a, const VorpEvent &b)
{
    return a.id == b.id && a.timestamp == b.timestamp && a.triggerKey == b.triggerKey &&
           a.appName == b.appName && a.bundleIdentifier == b.bundleIdentifier && a.note == b.note;
}

} // namespace

void HistoryList::setContent(const HistoryEvents &events, const QList<Trigger> &triggers,
                             const QList<DayGroup> &groups, const Calendar &calendar, const QDateTime &now)
{
    const bool sameDay =
        calendar.date(now) == m_calendar.date(m_now) && calendar.timeZone() == m_calendar.timeZone();
    if (!sameDay)
        m_titles.clear();
    const qreal withNote = EventRow::height(true), plain = EventRow::height(false);
    HistoryListLayout layout(groups, events.size(), EventRow::headerHeight(), [&](qsizetype event) {
        return IncidentText::hasNoteLine(events.at(event).note) ? withNote : plain;
    });
    // A refresh that moved nothing (a key typed into a note, the same list again) repaints only
    // the rows in view that changed, not every row with its quote.
    QRegion changed;
    const bool inPlace = sameDay && layout.sameItems(m_layout) && sameDays(groups, m_groups) &&
                         sameNames(triggers, m_triggers);
    if (inPlace) {
        const qreal top = scroll(), bottom = top + viewport()->height();
        const auto &items = m_layout.items();
        for (qsizetype i = std::max<qsizetype>(0, m_layout.itemAt(top)); i >= 0 && i < items.size(); ++i) {
            const HistoryListLayout::Item &item = items[i];
            if (item.y >= bottom)
                break;
            if (item.event >= 0 && !sameRow(m_events.at(item.event), events.at(item.event)))
                changed += itemRect(item).toAlignedRect();
        }
    }
    m_events = events;
    m_triggers = triggers;
    m_groups = groups;
    m_calendar = calendar;
    m_now = now;
    m_layout = std::move(layout);
    if (inPlace) {
        viewport()->update(changed);
        return;
    }
    m_hovered = -1;
    updateScrollRange();
    viewport()->update();
}

void HistoryList::updateRowOf(std::optional<qint64> id)
{
    if (!id)
        return;
    const QRect r = rowRect(*id);
    if (!r.isEmpty())
        viewport()->update(r);
}

void HistoryList::setSelection(std::optional<qint64> id)
{
    if (m_selection == id)
        return;
    updateRowOf(m_selection);
    m_selection = id;
    updateRowOf(m_selection);
}

QList<qint64> HistoryList::rowIds() const
{
    QList<qint64> ids;
    ids.reserve(m_layout.items().size());
    for (const HistoryListLayout::Item &item : m_layout.items())
        if (item.event >= 0)
            ids.append(idOf(item.event));
    return ids;
}

qint64 HistoryList::idOf(qsizetype event) const
{
    return m_events.at(event).id;
}

qreal HistoryList::scroll() const
{
    return verticalScrollBar()->value();
}

QRectF HistoryList::itemRect(const HistoryListLayout::Item &item) const
{
    return {kSide, item.y - scroll(), viewport()->width() - 2 * kSide, item.height};
}

qsizetype HistoryList::itemOfId(qint64 id) const
{
    for (qsizetype i = 0; i < m_events.size(); ++i)
        if (m_events.at(i).id == id)
            return m_layout.itemOfEvent(i);
    return -1;
}

QRect HistoryList::rowRect(qint64 id) const
{
    const qsizetype item = itemOfId(id);
    return item < 0 ? QRect() : itemRect(m_layout.items()[item]).toAlignedRect();
}

qsizetype HistoryList::rowItemAt(const QPointF &pos) const
{
    if (pos.x() < kSide || pos.x() >= viewport()->width() - kSide)
        return -1;
    if (const auto pinned = m_layout.pinned(scroll())) {
        if (pos.y() < pinned->y - scroll() + m_layout.headerHeight())
            return -1;
    }
    const qsizetype i = m_layout.itemAt(pos.y() + scroll());
    if (i < 0)
        return -1;
    const HistoryListLayout::Item &item = m_layout.items()[i];
    if (item.event < 0 || pos.y() + scroll() < item.y)
        return -1;
    return i;
}

void HistoryList::scrollToRow(qint64 id)
{
    const qsizetype target = itemOfId(id);
    if (target < 0)
        return;
    // From where the list is heading, so that quick steps do not fall behind.
    const qreal from =
        m_scroll->state() == QAbstractAnimation::Running ? m_scroll->endValue().toReal() : scroll();
    const qreal to = m_layout.scrollToShow(target, from, viewport()->height());
    if (qFuzzyCompare(to + 1, from + 1))
        return;
    m_scroll->stop();
    m_scroll->setStartValue(scroll());
    m_scroll->setEndValue(to);
    m_scroll->start();
}

bool HistoryList::isScrolling() const
{
    return m_scroll->state() == QAbstractAnimation::Running;
}

QString HistoryList::dayTitle(const QDate &day) const
{
    auto it = m_titles.constFind(day);
    if (it == m_titles.constEnd())
        it = m_titles.insert(day, HistoryDays::title(day, m_now, m_calendar));
    return *it;
}

void HistoryList::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, qMax(0, qCeil(m_layout.height()) - viewport()->height()));
}

void HistoryList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void HistoryList::scrollContentsBy(int, int)
{
    viewport()->update();
}

void HistoryList::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    const qreal dpr = viewport()->devicePixelRatioF();
    const qreal top = scroll();
    const qreal bottom = top + viewport()->height();
    const auto &items = m_layout.items();
    const auto pinned = m_layout.pinned(top);
    const QLocale locale;
    const QString timeFormat = IncidentText::shortTimeFormat(locale);
    QList<qint64> inView;
    for (qsizetype i = std::max<qsizetype>(0, m_layout.itemAt(top)); i >= 0 && i < items.size(); ++i) {
        const HistoryListLayout::Item &item = items[i];
        if (item.y >= bottom)
            break;
        if (item.event >= 0)
            inView.append(idOf(item.event));
        const QRectF r = itemRect(item);
        if (!event->region().intersects(r.toAlignedRect()))
            continue;
        const DayGroup &group = m_groups[item.group];
        if (item.event < 0) {
            if (!pinned || pinned->group != item.group)
                EventRow::paintHeader(p, r, dayTitle(group.date), int(group.events.size()));
            continue;
        }
        const VorpEvent &incident = m_events.at(item.event);
        const TriggerInfo trigger = info(m_triggers, incident.triggerKey);
        EventRowLook look;
        look.time = locale.toString(m_calendar.toLocal(incident.timestamp).time(), timeFormat);
        look.emoji = trigger.emoji;
        look.name = trigger.name;
        look.hasTrigger = trigger.key.has_value();
        look.noteLine = IncidentText::shownNoteLine(incident.note);
        look.hasApp = incident.appName.has_value();
        if (look.noteLine)
            look.quote = quoteFor(incident.id, *look.noteLine, EventRow::textWidth(r, look.hasApp));
        look.bundleID = incident.bundleIdentifier;
        look.selected = m_selection && *m_selection == incident.id;
        look.hovered = i == m_hovered;
        EventRow::paint(p, r, look, dpr);
    }
    if (pinned) {
        const DayGroup &group = m_groups[pinned->group];
        const QRectF r(kSide, pinned->y - top, viewport()->width() - 2 * kSide, m_layout.headerHeight());
        EventRow::paintHeader(p, r, dayTitle(group.date), int(group.events.size()));
    }
    if (m_quotes.size() > kKeptQuotes) {
        QHash<qint64, KeptQuote> kept;
        for (const qint64 id : inView)
            if (const auto it = m_quotes.constFind(id); it != m_quotes.constEnd())
                kept.insert(id, *it);
        m_quotes.swap(kept);
    }
}

std::shared_ptr<const NoteQuote> HistoryList::quoteFor(qint64 id, const QString &line, qreal width)
{
    const auto it = m_quotes.constFind(id);
    if (it != m_quotes.constEnd() && it->quote->width() == width && it->line == line)
        return it->quote;
    auto quote = std::make_shared<const NoteQuote>(line, width);
    m_quotes.insert(id, {line, quote});
    return quote;
}

void HistoryList::setHovered(qsizetype item)
{
    if (item == m_hovered)
        return;
    const auto &items = m_layout.items();
    for (const qsizetype i : {m_hovered, item})
        if (i >= 0 && i < items.size())
            viewport()->update(itemRect(items[i]).toAlignedRect());
    m_hovered = item;
}

void HistoryList::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(rowItemAt(event->position()));
    QAbstractScrollArea::mouseMoveEvent(event);
}

void HistoryList::leaveEvent(QEvent *event)
{
    setHovered(-1);
    QAbstractScrollArea::leaveEvent(event);
}

void HistoryList::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const qsizetype i = rowItemAt(event->position());
        if (i >= 0) {
            Q_EMIT rowClicked(idOf(m_layout.items()[i].event));
            return;
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void HistoryList::contextMenuEvent(QContextMenuEvent *event)
{
    const qsizetype i = rowItemAt(event->pos());
    if (i < 0)
        return;
    Q_EMIT rowContextMenu(idOf(m_layout.items()[i].event), event->globalPos());
}

bool HistoryList::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const qsizetype i = rowItemAt(help->pos());
        if (i >= 0) {
            const HistoryListLayout::Item &item = m_layout.items()[i];
            const VorpEvent &e = m_events.at(item.event);
            if (e.appName && EventRow::iconRect(itemRect(item)).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), *e.appName, viewport());
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
