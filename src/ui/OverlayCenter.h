#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <optional>

class OverlayHost;

// The in-window overlay service of one window: an anchored popup, a confirmation dialog and a
// full-window modal, drawn by its OverlayHost above the window's content. While anything is open
// Escape closes everything and Return confirms an open dialog — but only for key presses aimed
// at this window, so a Return typed in another window (the tray panel) never confirms here.
class OverlayCenter : public QObject
{
    Q_OBJECT
public:
    struct Popup
    {
        QRectF anchor;         // the opening control's frame in host coordinates (frameOf())
        qreal width = 0;       // the popup's width
        bool trailing = false; // right edges aligned instead of left edges
        QPointer<QWidget> content;
    };

    struct Dialog
    {
        QString title;
        QString message;
        QString confirm;
        bool destructive = false;
        std::function<void()> action; // runs once, on confirmation only
    };

    explicit OverlayCenter(OverlayHost *host);
    ~OverlayCenter() override;

    // The center of the host above `widget` (walking up its parents); null when there is none.
    static OverlayCenter *of(const QWidget *widget);

    const std::optional<Popup> &popup() const { return m_popup; }
    const std::optional<Dialog> &dialog() const { return m_dialog; }
    QWidget *modal() const { return m_modal; }
    bool isEmpty() const { return !m_popup && !m_dialog && !m_modal; }

    // Opens `content` (taken over) below `anchor`, replacing an open popup, and watches keys.
    void show(const QRectF &anchor, qreal width, bool trailing, QWidget *content);
    // Assigns the popup slot directly; the caller then calls watchEscape().
    void setPopup(std::optional<Popup> popup);
    // Opens `content` (taken over) as the full-window modal and watches keys.
    void present(QWidget *content);
    // Assigns the dialog slot directly; the caller then calls watchEscape().
    void setDialog(std::optional<Dialog> dialog);
    // Both steps of opening a dialog at once.
    void openDialog(Dialog dialog);

    // Closes the popup, the dialog and the modal, and stops watching keys.
    void dismiss();
    // Starts watching Escape and Return unless already watching.
    void watchEscape();
    bool isWatching() const { return m_watching; }

    // Where a popup goes: 6 below the anchor, left edges aligned (right edges when trailing),
    // kept 12 inside the host's sides — the right margin wins when both cannot hold.
    static QPointF popupOrigin(const QRectF &anchor, qreal width, bool trailing, const QSizeF &hostSize);

    // `widget`'s frame in the host's coordinates: what a popup anchor is measured in.
    QRectF frameOf(const QWidget *widget) const;

    OverlayHost *host() const { return m_host; }

Q_SIGNALS:
    void popupChanged();
    void dialogChanged();
    void modalChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool aimsAtOurWindow(QObject *receiver) const;

    OverlayHost *m_host;
    std::optional<Popup> m_popup;
    std::optional<Dialog> m_dialog;
    QPointer<QWidget> m_modal;
    bool m_watching = false;
};
