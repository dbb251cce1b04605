#include "ui/OverlayCenter.h"

#include "ui/OverlayHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

OverlayCenter::OverlayCenter(OverlayHost *host) : QObject(host), m_host(host)
{
}

OverlayCenter::~OverlayCenter()
{
    if (m_watching && qApp)
        qApp->removeEventFilter(this);
}

OverlayCenter *OverlayCenter::of(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *host = qobject_cast<const OverlayHost *>(w))
            return host->center();
        if (auto *host = w->findChild<OverlayHost *>(QString(), Qt::FindDirectChildrenOnly))
            return host->center();
    }
    return nullptr;
}

void OverlayCenter::show(const QRectF &anchor, qreal width, bool trailing, QWidget *content)
{
    setPopup(Popup{anchor, width, trailing, content});
    watchEscape();
}

void OverlayCenter::setPopup(std::optional<Popup> popup)
{
    m_popup = std::move(popup);
    Q_EMIT popupChanged();
}

void OverlayCenter::present(QWidget *content)
{
    m_modal = content;
    Q_EMIT modalChanged();
    watchEscape();
}

void OverlayCenter::setDialog(std::optional<Dialog> dialog)
{
    m_dialog = std::move(dialog);
    Q_EMIT dialogChanged();
}

void OverlayCenter::openDialog(Dialog dialog)
{
    setDialog(std::move(dialog));
    watchEscape();
}

void OverlayCenter::dismiss()
{
    const bool hadPopup = m_popup.has_value(), hadDialog = m_dialog.has_value(), hadModal = !m_modal.isNull();
    m_popup.reset();
    m_dialog.reset();
    m_modal = nullptr;
    if (hadPopup)
        Q_EMIT popupChanged();
    if (hadDialog)
        Q_EMIT dialogChanged();
    if (hadModal)
        Q_EMIT modalChanged();
    if (m_watching) {
        qApp->removeEventFilter(this);
        m_watching = false;
    }
}

void OverlayCenter::watchEscape()
{
    if (m_watching || !qApp)
        return;
    qApp->installEventFilter(this);
    m_watching = true;
}

QPointF OverlayCenter::popupOrigin(const QRectF &anchor, qreal width, bool trailing, const QSizeF &hostSize)
{
    const qreal x0 = trailing ? anchor.right() - width : anchor.left();
    const qreal x = qMin(qMax(x0, 12.0), hostSize.width() - width - 12);
    return {x, anchor.bottom() + 6};
}

QRectF OverlayCenter::frameOf(const QWidget *widget) const
{
    if (!widget)
        return {};
    const QPoint topLeft = m_host->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
    return QRectF(topLeft, QSizeF(widget->size()));
}

bool OverlayCenter::aimsAtOurWindow(QObject *receiver) const
{
    QWidget *ours = m_host->window();
    if (auto *w = qobject_cast<QWidget *>(receiver))
        return w->window() == ours;
    if (auto *win = qobject_cast<QWindow *>(receiver))
        return ours->windowHandle() == win;
    return false;
}

bool OverlayCenter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool escape = key->key() == Qt::Key_Escape;
    const bool confirm = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_dialog;
    if ((!escape && !confirm) || !aimsAtOurWindow(watched))
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim the key so no shortcut swallows it; the key press follows.
        key->accept();
        return true;
    }
    if (escape) {
        dismiss();
        return true;
    }
    const auto action = m_dialog->action;
    dismiss();
    if (action)
        action();
    return true;
}
