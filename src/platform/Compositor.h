#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

// Whether translucent windows show what lies behind them, which needs a compositing manager. On
// X11 that is an owner of the _NET_WM_CM_S<screen> selection, asked afresh on every call so a
// compositor started or stopped later is followed; other platforms always composite.
namespace Compositor {

bool isRunning();

// Sends what Qt has queued for the X server. A window's opacity is a property of the window, and
// Qt sends it only with the next request that empties its queue (a repaint, say): a fade that
// changes nothing else would reach the compositor in one or two jumps.
void flush();

// Tells when a compositing manager starts or stops while it lives. The X server announces every
// change of that selection's owner to Qt's connection (Qt asks for the notices for itself); the
// watch looks at those notices and asks afresh on each. Without X11 nothing ever changes.
class Watch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit Watch(QObject *parent = nullptr);
    ~Watch() override;

    bool isRunning() const { return m_running; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    void runningChanged(bool running);

private:
    void recheck();

    bool m_running;
    // The XFIXES extension's selection-notify event code; 0 when the server has none.
    int m_selectionNotify = 0;
    bool m_recheckQueued = false;
};

} // namespace Compositor
