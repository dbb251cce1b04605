#pragma once

#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "ui/BrutalCard.h"

#include <functional>

class AppIconView;
class AppModel;
class FactRow;
class FactValue;
class IconButton;
class NoteEditor;
class SymbolView;
class ThemedLabel;
class TriggerGrid;

// The editor of one incident beside the history list: its time and date, the delete button, the
// trigger grid, the application and the source, and the note. It keeps the incident's id and
// reads the record again on every refresh; every keystroke writes the note into the record in
// memory (so the list's row follows the typing), and it is saved when editing ends and when the
// editor goes away.
class EventDetailView : public BrutalCard
{
    Q_OBJECT
public:
    EventDetailView(AppModel &model, const VorpEvent &event, const QList<Trigger> &triggers,
                    std::function<void()> onDelete, QWidget *parent = nullptr);
    ~EventDetailView() override;

    qint64 eventId() const { return m_event.id; }
    // The record as stored now, and the current trigger list.
    void setEvent(const VorpEvent &event, const QList<Trigger> &triggers);

    // The grid's pick: picking the current trigger clears it.
    void pick(const Trigger &trigger);
    // The trash button: asks first, then deletes and runs onDelete.
    void askDelete();
    // Writes the note field into the record in memory (the empty text as no note).
    void writeNote(const QString &text);
    // Writes an edited note and saves the store.
    void commitNote();

    TriggerGrid *grid() const { return m_grid; }
    FactRow *facts() const { return m_facts; }
    NoteEditor *noteEditor() const { return m_note; }
    IconButton *deleteButton() const { return m_delete; }
    QString timeText() const;
    QString dateText() const;
    QString appText() const;
    QString sourceText() const;
    QString sourceSymbol() const { return m_sourceSymbolName; }

private:
    void showEvent_(const VorpEvent &event, const QList<Trigger> &triggers);

    AppModel &m_model;
    VorpEvent m_event;
    std::function<void()> m_onDelete;
    ThemedLabel *m_time;
    ThemedLabel *m_date;
    IconButton *m_delete;
    TriggerGrid *m_grid;
    AppIconView *m_appIcon;
    FactRow *m_facts;
    FactValue *m_app;
    class QHBoxLayout *m_sourceRow = nullptr;
    FactValue *m_source;
    SymbolView *m_sourceSymbol = nullptr;
    QString m_sourceSymbolName;
    NoteEditor *m_note;
    // Typed into since the field was shown: only then is the note written.
    bool m_noteEdited = false;
};
