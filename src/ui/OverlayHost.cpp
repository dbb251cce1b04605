#include "ui/OverlayHost.h"

#include "ui/DialogCard.h"
#include "ui/OverlayCenter.h"
#include "ui/SpringAnimator.h"

#include <QEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

OverlayLayer::OverlayLayer(Kind kind, QWidget *parent)
    : QWidget(parent), m_kind(kind),
      m_in(kind == Kind::Dialog ? new SpringAnimator(0.22, 0.85, this) : new SpringAnimator(0.3, 0.85, this)),
      m_out(new QVariantAnimation(this))
{
    hide();
    m_out->setDuration(120);
    m_out->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_in, &SpringAnimator::valueChanged, this, &OverlayLayer::setPresence);
    connect(m_in, &SpringAnimator::settled, this, [this] {
        if (!m_closing && m_content) {
            m_snapshot = QPixmap();
            m_content->show();
            update();
        }
    });
    connect(m_out, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &v) { setPresence(v.toReal()); });
    connect(m_out, &QVariantAnimation::finished, this, &OverlayLayer::finishClose);
}

void OverlayLayer::open(QWidget *content, std::optional<QPointF> position)
{
    m_out->stop();
    m_closing = false;
    m_snapshot = QPixmap();
    if (m_content && m_content != content) {
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = content;
    m_position = position;
    content->setParent(this);
    if (content->layout())
        content->layout()->activate();
    place();
    show();
    raise();
    // A popup shows at once; the modal and the dialog come in on their spring.
    if (m_kind == Kind::Popup || !SpringAnimator::animationsEnabled()) {
        m_in->jumpTo(1.0);
        setPresence(1.0);
        content->show();
        return;
    }
    m_snapshot = content->grab();
    m_snapshotRect = content->geometry();
    content->hide();
    m_in->jumpTo(0.0);
    m_in->setTarget(1.0);
}

void OverlayLayer::close()
{
    if (!m_content || m_closing)
        return;
    m_closing = true;
    m_in->jumpTo(m_presence);
    if (!SpringAnimator::animationsEnabled() || !isVisible()) {
        finishClose();
        return;
    }
    if (m_snapshot.isNull()) {
        m_snapshot = m_content->grab();
        m_snapshotRect = m_content->geometry();
    }
    m_content->hide();
    m_out->stop();
    m_out->setStartValue(m_presence);
    m_out->setEndValue(0.0);
    m_out->start();
}

void OverlayLayer::finishClose()
{
    if (!m_closing)
        return;
    m_closing = false;
    if (m_content) {
        // Hidden now: the layer may be reused before the deferred delete runs.
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = nullptr;
    m_snapshot = QPixmap();
    m_presence = 0;
    hide();
    Q_EMIT closed();
}

void OverlayLayer::reposition(std::optional<QPointF> position)
{
    m_position = position;
    place();
}

void OverlayLayer::setPresence(qreal presence)
{
    m_presence = presence;
    update();
}

void OverlayLayer::resizeEvent(QResizeEvent *)
{
    place();
}

void OverlayLayer::place()
{
    if (!m_content)
        return;
    if (m_kind == Kind::Popup && m_position) {
        // The popup's card is `width` wide at the given origin; a surface adds room for its shadows.
        const QMargins room =
            qobject_cast<PopoverSurface *>(m_content) ? PopoverSurface::shadowMargins() : QMargins();
        const int w = m_content->property("gxPopupWidth").toInt() + room.left() + room.right();
        const int h =
            m_content->hasHeightForWidth() ? m_content->heightForWidth(w) : m_content->sizeHint().height();
        const QPoint topLeft = m_position->toPoint() - QPoint(room.left(), room.top());
        m_content->setGeometry(QRect(topLeft, QSize(w, h)));
        return;
    }
    QSize size =
        m_content->sizeHint().expandedTo(m_content->minimumSize()).boundedTo(m_content->maximumSize());
    size = size.boundedTo(this->size());
    if (m_content->hasHeightForWidth())
        size.setHeight(qMin(height(), m_content->heightForWidth(size.width())));
    m_content->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

void OverlayLayer::mousePressEvent(QMouseEvent *event)
{
    // Only clicks that no content took reach the layer: they land on the backdrop.
    event->accept();
    Q_EMIT backdropClicked();
}

void OverlayLayer::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const qreal t = qBound<qreal>(0.0, m_presence, 1.0);
    if (m_kind != Kind::Popup) {
        const qreal dim = m_kind == Kind::Dialog ? 0.45 : 0.5;
        p.fillRect(rect(), QColor(0, 0, 0, qRound(255 * dim * t)));
    }
    if (m_snapshot.isNull())
        return;
    // Coming in or going out: the content's snapshot, faded and scaled (or shifted, for a popup).
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setOpacity(t);
    const QRectF r = m_snapshotRect;
    if (m_kind == Kind::Popup) {
        p.drawPixmap(r.translated(0, -4 * (1 - t)), m_snapshot, QRectF(m_snapshot.rect()));
        return;
    }
    const qreal from = m_kind == Kind::Dialog ? 0.94 : 0.95;
    const qreal scale = from + (1 - from) * m_presence;
    p.translate(r.center());
    p.scale(scale, scale);
    p.translate(-r.center());
    p.drawPixmap(r, m_snapshot, QRectF(m_snapshot.rect()));
}

OverlayHost *OverlayHost::install(QWidget *content)
{
    if (auto *existing = content->findChild<OverlayHost *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new OverlayHost(content);
}

OverlayHost::OverlayHost(QWidget *content)
    : QWidget(content), m_center(new OverlayCenter(this)),
      m_popup(new OverlayLayer(OverlayLayer::Kind::Popup, this)),
      m_modal(new OverlayLayer(OverlayLayer::Kind::Modal, this)),
      m_dialog(new OverlayLayer(OverlayLayer::Kind::Dialog, this))
{
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(content->rect());
    content->installEventFilter(this);
    hide();
    for (OverlayLayer *layer : {m_popup, m_modal, m_dialog}) {
        layer->setGeometry(rect());
        connect(layer, &OverlayLayer::backdropClicked, m_center, &OverlayCenter::dismiss);
        connect(layer, &OverlayLayer::closed, this, &OverlayHost::maybeHide);
    }
    connect(m_center, &OverlayCenter::popupChanged, this, &OverlayHost::syncPopup);
    connect(m_center, &OverlayCenter::dialogChanged, this, &OverlayHost::syncDialog);
    connect(m_center, &OverlayCenter::modalChanged, this, &OverlayHost::syncModal);
}

OverlayLayer *OverlayHost::layer(OverlayLayer::Kind kind) const
{
    switch (kind) {
    case OverlayLayer::Kind::Popup:
        return m_popup;
    case OverlayLayer::Kind::Modal:
        return m_modal;
    case OverlayLayer::Kind::Dialog:
        return m_dialog;
    }
    return nullptr;
}

bool OverlayHost::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
            for (OverlayLayer *layer : {m_popup, m_modal, m_dialog})
                layer->setGeometry(rect());
            if (const auto &popup = m_center->popup())
                m_popup->reposition(
                    OverlayCenter::popupOrigin(popup->anchor, popup->width, popup->trailing, size()));
        } else if (event->type() == QEvent::ChildAdded && isVisible()) {
            raise();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OverlayHost::syncPopup()
{
    const auto &popup = m_center->popup();
    if (popup && popup->content) {
        QWidget *content = popup->content;
        content->setProperty("gxPopupWidth", qRound(popup->width));
        updateVisibility();
        m_popup->open(content,
                      OverlayCenter::popupOrigin(popup->anchor, popup->width, popup->trailing, size()));
    } else {
        giveFocusBack();
        m_popup->close();
    }
    updateVisibility();
}

void OverlayHost::syncDialog()
{
    const auto &dialog = m_center->dialog();
    if (dialog) {
        updateVisibility();
        auto *card = new DialogCard(*dialog, [center = QPointer<OverlayCenter>(m_center)] {
            if (center)
                center->dismiss();
        });
        m_dialog->open(card);
        card->setFocus(Qt::OtherFocusReason);
    } else {
        giveFocusBack();
        m_dialog->close();
    }
    updateVisibility();
}

void OverlayHost::syncModal()
{
    if (QWidget *modal = m_center->modal()) {
        updateVisibility();
        m_modal->open(modal);
    } else {
        giveFocusBack();
        m_modal->close();
    }
    updateVisibility();
}

void OverlayHost::updateVisibility()
{
    if (m_center->isEmpty()) {
        maybeHide();
        return;
    }
    if (!m_holdsFocus) {
        // Remember where the window's keyboard was (also while another window is active), so
        // closing the overlay gives it back.
        m_focusBefore = window()->focusWidget();
        if (m_focusBefore && isAncestorOf(m_focusBefore))
            m_focusBefore = nullptr;
        m_holdsFocus = true;
    }
    if (!isVisible()) {
        setGeometry(parentWidget()->rect());
        show();
        raise();
    }
    if (QWidget *focus = window()->focusWidget(); !focus || !isAncestorOf(focus))
        setFocus(Qt::OtherFocusReason);
}

void OverlayHost::giveFocusBack()
{
    if (!m_center->isEmpty() || !m_holdsFocus)
        return;
    m_holdsFocus = false;
    QWidget *before = m_focusBefore;
    m_focusBefore = nullptr;
    // Done before any layer hides: a hidden focus widget passes the keyboard on along the Tab
    // chain, and the next control would then wear its focus ring as if reached by Tab.
    QWidget *focus = window()->focusWidget();
    if (focus && !isAncestorOf(focus))
        return; // the keyboard already went elsewhere in the window
    if (before && before->isVisible() && before->isEnabled())
        before->setFocus(Qt::PopupFocusReason);
    else if (focus)
        focus->clearFocus();
}

void OverlayHost::maybeHide()
{
    // Fading layers keep the host up until they are gone.
    if (!m_center->isEmpty() || !isVisible() || m_popup->isVisible() || m_modal->isVisible() ||
        m_dialog->isVisible())
        return;
    hide();
}
