#include "features/triggers/TriggersView.h"

#include "app/AppModel.h"
#include "features/triggers/AddTriggerCard.h"
#include "features/triggers/EmojiPicker.h"
#include "features/triggers/EmojiPool.h"
#include "features/triggers/TriggerCounts.h"
#include "features/triggers/TriggerDraft.h"
#include "features/triggers/TriggerOrder.h"
#include "features/triggers/TriggerRow.h"
#include "features/triggers/TriggerTexts.h"
#include "models/Store.h"
#include "ui/BrutalCard.h"
#include "ui/DialogCard.h"
#include "ui/GXTextField.h"
#include "ui/OverlayCenter.h"
#include "ui/PageHeader.h"
#include "ui/PageRefresh.h"
#include "ui/PageScroll.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr qreal kPickerWidth = 262;

// The hairline between two rows.
class RowDivider : public QWidget
{
public:
    RowDivider()
    {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Theme::ink.opacity(0.08).resolve());
    }
};

} // namespace

TriggersView::TriggersView(AppModel &model, std::function<void()> openSystemPicker, QWidget *parent)
    : QWidget(parent), m_model(model), m_openSystemPicker(std::move(openSystemPicker)),
      m_listCard(new BrutalCard(8, Theme::card, 16, 4)), m_list(new QVBoxLayout(m_listCard)),
      m_addCard(new AddTriggerCard), m_newEmoji(EmojiPool::first())
{
    QVBoxLayout *column = nullptr;
    makePageScroll(this, &column, 26);
    m_header = new PageHeader(QStringLiteral("Personalize the humor"), QStringLiteral("Name your demons."));
    column->addWidget(m_header);

    m_list->setContentsMargins(0, 0, 0, 0);
    m_list->setSpacing(0);
    m_listCard->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    // The list and the add card stand 22 apart from edge to edge, their slabs in the gap and the
    // padding, so the list's names get all the width the add card leaves them.
    auto *columns = new CardRow(QBoxLayout::LeftToRight, 22, m_listCard->slabRoom());
    columns->addWidget(m_listCard, 1, Qt::AlignTop);
    columns->addWidget(m_addCard, 0, Qt::AlignTop);
    column->addLayout(columns);
    column->addStretch(1);

    m_addCard->emojiButton()->setEmoji(m_newEmoji);
    connect(m_addCard, &AddTriggerCard::submitted, this, &TriggersView::add);
    connect(m_addCard->emojiButton(), &QAbstractButton::clicked, this, &TriggersView::openEmojiPicker);

    m_refreshTimer = watchForRefresh(m_model, this, [this] { refresh(); });
    refresh();
}

void TriggersView::refresh()
{
    m_refreshTimer->stop();
    const QList<Trigger> triggers = m_model.allTriggers();
    const QHash<QString, int> counts = incidentCountsByTrigger(m_model.store().events());

    // Rows are kept by key, so a row under the pointer survives a refresh.
    QHash<QString, TriggerRow *> previous;
    for (TriggerRow *row : std::as_const(m_rows))
        previous.insert(row->trigger().key, row);
    while (m_list->count() > 0)
        delete m_list->takeAt(0);
    while (m_dividers.size() >= std::max<qsizetype>(triggers.size(), 1))
        delete m_dividers.takeLast();

    m_rows.clear();
    for (int i = 0; i < triggers.size(); ++i) {
        const Trigger &trigger = triggers.at(i);
        TriggerRow *row = previous.take(trigger.key);
        if (!row) {
            row = new TriggerRow(m_listCard);
            connect(row, &TriggerRow::moveRequested, this, &TriggersView::move);
            connect(row, &TriggerRow::hideToggled, this, &TriggersView::toggleHidden);
            connect(row, &TriggerRow::deleteRequested, this, &TriggersView::requestDelete);
        }
        row->setTrigger(trigger, i, int(triggers.size()), counts.value(trigger.key, 0));
        m_list->addWidget(row);
        m_rows << row;
        if (i + 1 < triggers.size()) {
            if (m_dividers.size() <= i)
                m_dividers << new RowDivider;
            m_list->addWidget(m_dividers.at(i));
        }
    }
    qDeleteAll(previous);
}

void TriggersView::move(int position, int offset)
{
    if (const auto moved = movedTriggers(m_model.allTriggers(), position, offset))
        m_model.reorderTriggers(*moved);
}

void TriggersView::toggleHidden(const Trigger &trigger)
{
    // The stored record decides, in case the row has not caught up with a change yet.
    if (const auto stored = m_model.store().trigger(trigger.id))
        m_model.setTriggerHidden(*stored, !stored->isHidden);
}

void TriggersView::requestDelete(const Trigger &trigger)
{
    OverlayCenter *overlay = OverlayCenter::of(this);
    if (!overlay || trigger.isBuiltIn)
        return;
    overlay->setPopup(std::nullopt);
    AppModel *model = &m_model;
    overlay->setDialog(OverlayCenter::Dialog{TriggerTexts::deleteTitle(trigger.name),
                                             TriggerTexts::deleteMessage(), QStringLiteral("Delete"), true,
                                             [model, trigger] { model->deleteTrigger(trigger); }});
    overlay->watchEscape();
}

void TriggersView::add()
{
    const auto draft = TriggerDraft::make(m_addCard->nameField()->text(), m_newEmoji);
    if (!draft)
        return;
    m_model.addTrigger(draft->name, draft->emoji);
    m_addCard->nameField()->setText(QString());
    setNewEmoji(EmojiPool::randomRefill(*QRandomGenerator::global()));
}

void TriggersView::setNewEmoji(const QString &emoji)
{
    m_newEmoji = emoji;
    m_addCard->emojiButton()->setEmoji(emoji);
}

void TriggersView::openEmojiPicker()
{
    OverlayCenter *overlay = OverlayCenter::of(this);
    if (!overlay)
        return;
    QRectF anchor = overlay->frameOf(m_addCard->emojiButton());
    anchor.setSize(QSizeF(EmojiButton::kTile, EmojiButton::kTile));
    QPointer<TriggersView> self(this);
    QPointer<OverlayCenter> center(overlay);
    auto *picker = new EmojiPicker(
        [self, center](const QString &emoji) {
            if (self)
                self->setNewEmoji(emoji);
            if (center)
                center->dismiss();
        },
        EmojiPool::picker(), m_openSystemPicker);
    m_picker = picker;
    overlay->setPopup(OverlayCenter::Popup{anchor, kPickerWidth, false, new PopoverSurface(picker)});
    overlay->watchEscape();
}
