#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <optional>

class OverlayCenter;
class SpringAnimator;
class QVariantAnimation;

// One layer of the overlay host (popup, modal or dialog): a full-size sheet with an optional
// dimming backdrop that closes the overlays when clicked, holding one content widget. It
// animates in (spring) and fades out (0.12 s ease-out) by drawing a snapshot of its content.
class OverlayLayer : public QWidget
{
    Q_OBJECT
public:
    enum class Kind
    {
        Popup,
        Modal,
        Dialog
    };

    OverlayLayer(Kind kind, QWidget *parent);

    Kind kind() const { return m_kind; }
    QWidget *content() const { return m_content; }
    // Takes `content` over and shows it at `position` (or centred when no position is given).
    void open(QWidget *content, std::optional<QPointF> position = std::nullopt);
    // Fades the content out, then deletes it.
    void close();
    void reposition(std::optional<QPointF> position);
    bool isOpen() const { return !m_content.isNull(); }
    // 0…1: how far the layer has come in.
    qreal presence() const { return m_presence; }

Q_SIGNALS:
    void backdropClicked();
    // The layer finished closing and is hidden.
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void place();
    void setPresence(qreal presence);
    void finishClose();

    Kind m_kind;
    QPointer<QWidget> m_content;
    std::optional<QPointF> m_position;
    qreal m_presence = 0;
    bool m_closing = false;
    QPixmap m_snapshot;
    QRect m_snapshotRect;
    SpringAnimator *m_in;
    QVariantAnimation *m_out;
};

// The overlay host of a window: a transparent layer over `content` (the window's central widget)
// that owns the window's OverlayCenter and shows its popup, modal and dialog above the content.
// While nothing is open it is hidden, so every click and key reaches the content.
class OverlayHost : public QWidget
{
    Q_OBJECT
public:
    // Installs the host over `content` (the kit's gxOverlayHost()).
    static OverlayHost *install(QWidget *content);

    OverlayCenter *center() const { return m_center; }
    OverlayLayer *layer(OverlayLayer::Kind kind) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit OverlayHost(QWidget *content);
    void syncPopup();
    void syncDialog();
    void syncModal();
    void updateVisibility();
    void maybeHide();
    // Once everything is closed: the keyboard goes back to the widget that had it before.
    void giveFocusBack();

    OverlayCenter *m_center;
    OverlayLayer *m_popup;
    OverlayLayer *m_modal;
    OverlayLayer *m_dialog;
    QPointer<QWidget> m_focusBefore;
    bool m_holdsFocus = false; // an overlay took the keyboard; m_focusBefore is where it was
};
