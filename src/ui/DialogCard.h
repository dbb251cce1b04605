#pragma once

#include "ui/OverlayCenter.h"

#include <QWidget>
#include <functional>

class ChunkyButton;

// The confirmation dialog: a 380-wide card with a hazard-striped header (red when destructive,
// yellow otherwise), a large condensed title, the message, and "Cancel" and the confirm button.
// Both buttons close the dialog; confirming then runs the dialog's action, once.
class DialogCard : public QWidget
{
    Q_OBJECT
public:
    DialogCard(const OverlayCenter::Dialog &dialog, std::function<void()> close, QWidget *parent = nullptr);

    ChunkyButton *cancelButton() const { return m_cancel; }
    ChunkyButton *confirmButton() const { return m_confirm; }

    static constexpr int kWidth = 380;
    static constexpr int kLift = 5;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    OverlayCenter::Dialog m_dialog;
    std::function<void()> m_close;
    ChunkyButton *m_cancel;
    ChunkyButton *m_confirm;
    bool m_done = false;
};

// The card every popup's content sits on: card fill, 1.5 border, a hard slab 3 down-right and a
// soft drop shadow. The widget reserves margins around the card for the shadows.
class PopoverSurface : public QWidget
{
    Q_OBJECT
public:
    explicit PopoverSurface(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }
    // Room around the card for its slab and soft shadow.
    static QMargins shadowMargins();
    QRect cardRect() const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QWidget *m_content;
};
