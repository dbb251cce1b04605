#pragma once

#include "ui/BrutalCard.h"
#include "ui/HoverButton.h"

class ChunkyButton;
class GXTextField;
class ThemedLabel;

// The add card's emoji button: the chosen emoji on a well-coloured tile with a hard shadow and a
// small red pencil badge at its lower right corner.
class EmojiButton : public HoverButton
{
    Q_OBJECT
public:
    explicit EmojiButton(QWidget *parent = nullptr);

    QString emoji() const { return m_emoji; }
    void setEmoji(const QString &emoji);
    // The tile itself, without the room for its shadow and badge.
    static constexpr qreal kTile = 58;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_emoji;
};

// The triggers page's right-hand column: an emoji button, the name field and "Save trigger".
// The card holds the widgets; what an add does is the page's business (submitted()).
class AddTriggerCard : public BrutalCard
{
    Q_OBJECT
public:
    explicit AddTriggerCard(QWidget *parent = nullptr);

    EmojiButton *emojiButton() const { return m_emojiButton; }
    GXTextField *nameField() const { return m_name; }
    ChunkyButton *saveButton() const { return m_save; }
    // The line under the name field: the hint, or why the last paste or key was refused.
    ThemedLabel *hintLabel() const { return m_hint; }

    static constexpr int kWidth = 300;

Q_SIGNALS:
    // "Save trigger" clicked or Return pressed in the name field.
    void submitted();

private:
    void syncSaveButton();
    void showRefusal(bool refused);

    EmojiButton *m_emojiButton;
    GXTextField *m_name;
    ChunkyButton *m_save;
    ThemedLabel *m_hint;
};
