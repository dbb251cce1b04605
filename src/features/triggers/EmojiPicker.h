#pragma once

#include "ui/HoverButton.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class GXTextField;
class GhostButton;

// One emoji of the picker's grid: the emoji on a faint ink tint while hovered, deeper pressed.
class EmojiCell : public HoverButton
{
    Q_OBJECT
public:
    explicit EmojiCell(const QString &emoji, QWidget *parent = nullptr);
    QString emoji() const { return m_emoji; }
    QSize sizeHint() const override { return QSize(34, 34); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_emoji;
};

// The emoji pop-over: a grid of emoji, a free field whose first character is taken on Return,
// and a button that starts an installed emoji picker (left out when there is none). A choice is
// reported only through `pick`; the owner decides what it does.
class EmojiPicker : public QWidget
{
    Q_OBJECT
public:
    using Pick = std::function<void(const QString &)>;

    EmojiPicker(Pick pick, const QStringList &emojis, std::function<void()> openSystemPicker = {},
                QWidget *parent = nullptr);

    QList<EmojiCell *> cells() const { return m_cells; }
    GXTextField *customField() const { return m_custom; }
    // Null when no emoji picker is installed.
    GhostButton *systemPickerButton() const { return m_system; }

    // Submitting the free field: picks its first character; an empty field does nothing.
    void submitCustom();

private:
    Pick m_pick;
    QList<EmojiCell *> m_cells;
    GXTextField *m_custom;
    GhostButton *m_system = nullptr;
};
