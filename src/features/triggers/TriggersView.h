#pragma once

#include "features/triggers/EmojiPicker.h"
#include "models/Trigger.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class AddTriggerCard;
class AppModel;
class BrutalCard;
class PageHeader;
class QVBoxLayout;
class TriggerRow;

// The triggers page: every trigger in its stored order, hidden ones included, with its incident
// count and buttons to move, hide or delete it; beside the list the card that adds a custom
// trigger. Changes go through AppModel; the page re-reads the store whenever it changes.
class TriggersView : public QWidget
{
    Q_OBJECT
public:
    // `openSystemPicker` starts an installed emoji picker; empty leaves its button out.
    explicit TriggersView(AppModel &model, std::function<void()> openSystemPicker = {},
                          QWidget *parent = nullptr);

    void refresh();

    // Moves the trigger at `position` by `offset` places and renumbers the whole list; a target
    // outside the list changes nothing.
    void move(int position, int offset);
    void toggleHidden(const Trigger &trigger);
    // Asks through the window's confirmation dialog; the trigger goes only when confirmed.
    void requestDelete(const Trigger &trigger);
    // Adds a custom trigger from the card's name and the chosen emoji; a blank name adds nothing.
    void add();
    // Opens the emoji pop-over under the card's emoji button.
    void openEmojiPicker();

    QString newEmoji() const { return m_newEmoji; }
    void setNewEmoji(const QString &emoji);

    PageHeader *header() const { return m_header; }
    QList<TriggerRow *> rows() const { return m_rows; }
    AddTriggerCard *addCard() const { return m_addCard; }
    // The open emoji pop-over's picker, or null.
    EmojiPicker *emojiPicker() const { return m_picker; }

private:
    AppModel &m_model;
    std::function<void()> m_openSystemPicker;
    class QTimer *m_refreshTimer;
    PageHeader *m_header;
    BrutalCard *m_listCard;
    QVBoxLayout *m_list;
    QList<TriggerRow *> m_rows;
    QList<QWidget *> m_dividers;
    AddTriggerCard *m_addCard;
    QString m_newEmoji;
    QPointer<EmojiPicker> m_picker;
};
