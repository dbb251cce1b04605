#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>

class BrutalCard;
class QWidget;

namespace Compositor {
class Watch;
}

// The panel's and toast's frameless windows. With a compositor they are translucent and the
// content keeps its soft margins for the card's rounded corners and shadow; without one those
// margins would show black, so the content fills the window, the window paints the card colour
// and is shaped to the card's rounded outline (a window mask), so no square corner shows either.
// The shape follows the card and the compositor: a translucent window whose compositor stops is
// shaped and painted opaque until it comes back.
class OpaqueSurface : public QObject
{
    Q_OBJECT
public:
    // Asks whether a compositor runs and makes `window` translucent if so.
    explicit OpaqueSurface(QWidget *window);

    bool isTranslucent() const { return m_translucent; }
    // The window's content: its outer margins go when the window is opaque; the window takes its
    // shape from the outermost card inside it.
    void setContent(QWidget *content);
    // Cut to the card's outline (else the whole window shows).
    bool isShaped() const { return m_shaped; }
    // The outline of the content's card plus its shadow slab, in window coordinates; empty without
    // a card.
    QRegion outline() const;
    // The window's background, from its paint event.
    void paint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reshape();

    QWidget *m_window;
    Compositor::Watch *m_compositor;
    bool m_translucent;
    bool m_shaped = false;
    QPointer<BrutalCard> m_card;
    QList<QPointer<QWidget>> m_watched;
};
