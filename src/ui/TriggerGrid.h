#pragma once

#include "models/Trigger.h"
#include "ui/HoverButton.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

class SpringAnimator;

// One tile of the trigger grid: emoji over name; well-coloured at rest, lifted off a hard slab
// under the pointer, red when selected, sinking while pressed.
class TriggerTile : public HoverButton
{
    Q_OBJECT
public:
    TriggerTile(const Trigger &trigger, QWidget *parent = nullptr);

    const Trigger &trigger() const { return m_trigger; }
    void setTrigger(const Trigger &trigger);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // Current slab offset (0 at rest, 2 lifted) and press depth (0..1).
    qreal lift() const;
    qreal press() const;
    // The name as drawn: its size in pixels (9.5, down to 70 % of that where the tile is narrow)
    // and its text, cut with an ellipsis only where even 70 % is too wide.
    qreal nameSize() const;
    QString shownName() const;

    // The tile's own cell; the widget is 2 larger to the right and below for the slab.
    static constexpr int kSlabRoom = 2;
    static constexpr int kHeight = 44;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct NameFit
    {
        qreal size;
        QString text;
    };
    NameFit fitName() const;

    Trigger m_trigger;
    bool m_selected = false;
    SpringAnimator *m_hover;
    SpringAnimator *m_press;
};

// The grid of trigger tiles with which an incident is filed under a trigger. Shows at most the
// first ten triggers; with `numbered` the bare digit keys 1…9, 0 pick them.
class TriggerGrid : public QWidget
{
    Q_OBJECT
public:
    using PickHandler = std::function<void(const Trigger &)>;

    TriggerGrid(const QList<Trigger> &triggers = {}, const std::optional<QString> &selected = std::nullopt,
                int columns = 5, bool numbered = false, PickHandler onPick = {}, QWidget *parent = nullptr);

    QList<Trigger> triggers() const { return m_triggers; }
    void setTriggers(const QList<Trigger> &triggers);
    std::optional<QString> selected() const { return m_selected; }
    void setSelected(const std::optional<QString> &key);
    int columns() const { return m_columns; }
    void setColumns(int columns);
    bool isNumbered() const { return m_numbered; }
    void setNumbered(bool numbered);
    void setOnPick(PickHandler onPick) { m_onPick = std::move(onPick); }

    QList<TriggerTile *> tiles() const { return m_tiles; }

    // The digit that picks the tile at `index` ("1"…"9", then "0").
    static QString digitFor(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

Q_SIGNALS:
    void picked(const Trigger &trigger);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild();
    void placeTiles();
    void pick(int index);
    int rows() const;

    QList<Trigger> m_triggers;
    std::optional<QString> m_selected;
    int m_columns;
    bool m_numbered;
    PickHandler m_onPick;
    QList<TriggerTile *> m_tiles;
    QList<QObject *> m_shortcuts;
};
