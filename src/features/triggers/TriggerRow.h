#pragma once

#include "features/triggers/TriggerRowState.h"
#include "models/Trigger.h"

#include <QWidget>

class IconButton;

// One trigger on the triggers page: its emoji (faded while hidden), its name and kind, its
// incident count, and the move up, move down, hide and delete buttons. The texts are drawn on one
// line and cut with an ellipsis, so no name can break the row.
class TriggerRow : public QWidget
{
    Q_OBJECT
public:
    explicit TriggerRow(QWidget *parent = nullptr);

    void setTrigger(const Trigger &trigger, int position, int triggerCount, int incidentCount);
    const Trigger &trigger() const { return m_trigger; }
    int position() const { return m_position; }
    int incidentCount() const { return m_incidents; }

    IconButton *upButton() const { return m_up; }
    IconButton *downButton() const { return m_down; }
    IconButton *hideButton() const { return m_hide; }
    IconButton *deleteButton() const { return m_delete; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the row draws its name and its count, in its own coordinates.
    QRectF nameRect() const;
    QRectF countRect() const;
    QString shownName() const;

Q_SIGNALS:
    void moveRequested(int position, int offset);
    void hideToggled(const Trigger &trigger);
    void deleteRequested(const Trigger &trigger);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowHeight() const;
    qreal countRight() const;

    Trigger m_trigger;
    int m_position = 0;
    int m_incidents = 0;
    IconButton *m_up;
    IconButton *m_down;
    IconButton *m_hide;
    IconButton *m_delete;
    QWidget *m_buttons;
};
