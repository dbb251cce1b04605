#pragma once

#include <QPointer>
#include <QWidget>

class EStopButton;

// A transparent layer above a window's content that takes no input. Buttons whose feedback reaches
// beyond their own box (shock-wave rings, the shake) paint it here while it runs.
class EffectsLayer : public QWidget
{
    Q_OBJECT
public:
    // The layer of `widget`'s window, created on first use.
    static EffectsLayer *of(QWidget *widget);

    void attach(EStopButton *button);
    void detach(EStopButton *button);
    // Brings the layer above anything added to the window since.
    void raiseAbove();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit EffectsLayer(QWidget *window);
    // The part of the window in which `button` may be seen (scroll areas clip it).
    QRect visibleArea(const QWidget *button) const;

    QList<QPointer<EStopButton>> m_buttons;
};
