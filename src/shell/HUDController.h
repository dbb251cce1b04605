#pragma once

#include "app/Toast.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class AppModel;
class OpaqueSurface;
class QVBoxLayout;
class WindowFade;

// The toast window: frameless, on top, shown without taking the keyboard. It tells the controller
// when the pointer enters or leaves it.
class ToastWindow : public QWidget
{
    Q_OBJECT
public:
    ToastWindow();
    void setContent(QWidget *content);
    // Translucent, with the content's soft margins, when made while a compositor ran; cut to its
    // card's outline whenever none runs (OpaqueSurface).
    bool isTranslucent() const;
    OpaqueSurface *surface() const { return m_surface; }
    // Fades in from the window's first frame on screen, and out.
    WindowFade *fade() const { return m_fade; }

Q_SIGNALS:
    void hovered(bool inside);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    OpaqueSurface *m_surface;
    WindowFade *m_fade;
    QVBoxLayout *m_layout;
    QPointer<QWidget> m_content;
};

// Shows the toast after a log, at the top centre of the screen under the pointer, and hides it on
// a timer: 4.0 s after a show, 0.9 s after a trigger was picked, 1.6 s after the pointer left; the
// pointer over the toast holds it up. One window, reused for every toast.
class HUDController : public QObject, public Toast
{
    Q_OBJECT
public:
    explicit HUDController(AppModel &model, QObject *parent = nullptr);
    ~HUDController() override;

    void show(const VorpEvent &event) override;
    // Replaces any pending hide with one after `ms` milliseconds.
    void scheduleHide(int ms);

    // For tests and the views: the window (null before the first show) and the pending hide.
    ToastWindow *window() const { return m_window; }
    bool isHidePending() const { return m_hideTimer.isActive(); }
    int pendingHideInterval() const { return m_hideTimer.isActive() ? m_hideTimer.interval() : -1; }

    // A trigger was picked: the toast goes 0.9 s later. Filing shrinks the toast, so the pointer
    // may find itself outside without moving; that leave does not count, only one after the
    // pointer has come back in.
    void chosen();
    void hover(bool inside);

private:
    void hide();

    AppModel &m_model;
    ToastWindow *m_window = nullptr;
    QTimer m_hideTimer;
    bool m_leaveAfterPickIgnored = false;
};
