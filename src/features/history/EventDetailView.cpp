#include "features/history/EventDetailView.h"

#include "app/AppModel.h"
#include "features/history/FactRow.h"
#include "features/history/IncidentDelete.h"
#include "features/history/IncidentText.h"
#include "features/history/NoteEditor.h"
#include "models/Calendar.h"
#include "models/Store.h"
#include "ui/AppIconCache.h"
#include "ui/Fonts.h"
#include "ui/IconButton.h"
#include "ui/Labels.h"
#include "ui/OverlayCenter.h"
#include "ui/SymbolView.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QFont bigTimeFont()
{
    QFont f = Fonts::font(56, QFont::Black);
    f.setStretch(QFont::Condensed);
    return f;
}

// The large time: at its full size where it fits, scaled down to the width it gets in a narrow
// window rather than cut to an ellipsis.
class FittedTime : public ThemedLabel
{
public:
    FittedTime() : ThemedLabel(QString(), bigTimeFont(), Theme::ink) { setFixedDigits(true); }

    QSize minimumSizeHint() const override { return QSize(sizeHint().width() / 2, sizeHint().height()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont font = bigTimeFont();
        const qreal natural = textWidth(font, text());
        if (natural > width())
            font.setPixelSize(qMax(1, int(font.pixelSize() * width() / natural)));
        p.setFont(font);
        p.setPen(color().resolve());
        drawLine(p, rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
};

// A titled block: the caption over its content.
QVBoxLayout *section(const QString &title, QWidget *content)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(9);
    column->addWidget(new Caption(title), 0, Qt::AlignLeft);
    column->addWidget(content);
    return column;
}

// A fact's content: its icon and its value, 8 apart.
QWidget *factContent(QHBoxLayout **row)
{
    auto *content = new QWidget;
    *row = new QHBoxLayout(content);
    (*row)->setContentsMargins(0, 0, 0, 0);
    (*row)->setSpacing(8);
    return content;
}

} // namespace

EventDetailView::EventDetailView(AppModel &model, const VorpEvent &event, const QList<Trigger> &triggers,
                                 std::function<void()> onDelete, QWidget *parent)
    : BrutalCard(24, Theme::card, 16, 4, parent), m_model(model), m_event(event),
      m_onDelete(std::move(onDelete))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(22);

    // The time with the tools beside it, and the date under the time. The date may reach under the
    // tools, which are no taller than the time, so it keeps to one line wherever the card is as wide
    // as the date.
    auto *header = new QGridLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setHorizontalSpacing(8);
    header->setVerticalSpacing(2);
    m_time = new FittedTime;
    m_date = new ThemedLabel(QString(), Fonts::rounded(13, QFont::Medium), Theme::dim, true);
    m_date->setObjectName(QStringLiteral("date"));
    header->addWidget(m_time, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    header->addWidget(m_date, 1, 0, 1, 2);
    header->setColumnStretch(0, 1);
    auto *tools = new QVBoxLayout;
    tools->setSpacing(14);
    tools->addWidget(new TapeLabel(QStringLiteral("Grumblix"), 2, Theme::red), 0, Qt::AlignRight);
    m_delete = new IconButton(QStringLiteral("trash"), Theme::red, QStringLiteral("Delete incident"),
                              [this] { askDelete(); });
    tools->addWidget(m_delete, 0, Qt::AlignRight);
    tools->addStretch(1);
    header->addLayout(tools, 0, 1, Qt::AlignTop);
    column->addLayout(header);

    m_grid = new TriggerGrid({}, std::nullopt, 5, false, [this](const Trigger &t) { pick(t); });
    column->addLayout(section(QStringLiteral("Trigger"), m_grid));

    m_facts = new FactRow;
    QHBoxLayout *appRow = nullptr;
    QWidget *app = factContent(&appRow);
    m_appIcon = new AppIconView(std::nullopt, 20);
    m_app = new FactValue;
    appRow->addWidget(m_appIcon);
    appRow->addWidget(m_app, 1);
    m_facts->addFact(QStringLiteral("Application"), app);
    QWidget *source = factContent(&m_sourceRow);
    m_source = new FactValue;
    m_sourceRow->addWidget(m_source, 1);
    m_facts->addFact(QStringLiteral("Source"), source);
    column->addWidget(m_facts);

    m_note = new NoteEditor(event.note.value_or(QString()));
    connect(m_note, &NoteEditor::textEdited, this, &EventDetailView::writeNote);
    connect(m_note, &NoteEditor::committed, this, &EventDetailView::commitNote);
    column->addLayout(section(QStringLiteral("Note"), m_note));

    showEvent_(event, triggers);
}

EventDetailView::~EventDetailView()
{
    // Leaving the screen saves a note that was typed but not committed.
    commitNote();
}

void EventDetailView::setEvent(const VorpEvent &event, const QList<Trigger> &triggers)
{
    showEvent_(event, triggers);
}

void EventDetailView::showEvent_(const VorpEvent &event, const QList<Trigger> &triggers)
{
    m_event = event;
    const QDateTime local = Calendar(m_model.timeZone()).toLocal(event.timestamp);
    const QLocale locale;
    m_time->setText(locale.toString(local.time(), IncidentText::shortTimeFormat(locale)));
    m_date->setText(locale.toString(local.date(), QLocale::LongFormat));

    const QList<Trigger> offered = IncidentText::offeredTriggers(triggers, event.triggerKey);
    if (offered.size() != m_grid->triggers().size() ||
        !std::equal(offered.begin(), offered.end(), m_grid->triggers().begin(),
                    [](const Trigger &a, const Trigger &b) {
                        return a.key == b.key && a.name == b.name && a.emoji == b.emoji;
                    }))
        m_grid->setTriggers(offered);
    m_grid->setSelected(event.triggerKey);

    m_appIcon->setBundleID(event.bundleIdentifier);
    m_app->setText(event.appName.value_or(QStringLiteral("Unknown")));

    const IncidentText::SourceDisplay source = IncidentText::source(event.sourceRaw);
    m_source->setText(source.label);
    if (source.symbol != m_sourceSymbolName) {
        delete m_sourceSymbol;
        m_sourceSymbol = new SymbolView(source.symbol, 13, Theme::red);
        m_sourceSymbolName = source.symbol;
        m_sourceRow->insertWidget(0, m_sourceSymbol);
    }

    // The field keeps what is being typed; otherwise it follows the record.
    if (!m_note->isEditing())
        m_note->setText(event.note.value_or(QString()));
}

void EventDetailView::pick(const Trigger &trigger)
{
    const std::optional<VorpEvent> stored = m_model.store().event(m_event.id);
    if (!stored)
        return;
    m_model.setTrigger(IncidentText::pickedKey(trigger.key, stored->triggerKey), *stored);
}

void EventDetailView::askDelete()
{
    const VorpEvent event = m_event;
    AppModel *model = &m_model;
    // The editor may be gone when the dialog is confirmed; the action keeps only what it needs.
    askDeleteIncident(OverlayCenter::of(this), [model, event, onDelete = m_onDelete] {
        model->deleteEvent(event);
        if (onDelete)
            onDelete();
    });
}

void EventDetailView::writeNote(const QString &text)
{
    m_noteEdited = true;
    Store &store = m_model.store();
    std::optional<VorpEvent> stored = store.event(m_event.id);
    if (!stored)
        return;
    const std::optional<QString> note = IncidentText::storedNote(text);
    if (stored->note != note) {
        stored->note = note;
        store.update(*stored);
    }
}

void EventDetailView::commitNote()
{
    Store &store = m_model.store();
    if (!store.event(m_event.id))
        return;
    // A note that was only shown is left as it is stored.
    if (m_noteEdited)
        writeNote(m_note->text());
    // Also retries whatever an earlier failed save left pending.
    if (store.hasPendingChanges())
        store.save();
}

QString EventDetailView::timeText() const
{
    return m_time->text();
}

QString EventDetailView::dateText() const
{
    return m_date->text();
}

QString EventDetailView::appText() const
{
    return m_app->text();
}

QString EventDetailView::sourceText() const
{
    return m_source->text();
}
