#pragma once

#include <QWidget>

class OpaqueSurface;
class WindowFade;

// The frameless panel under the tray icon. It stays on top, takes the keyboard, and asks to be
// dismissed on Escape, on losing focus, or on a click into another of this program's windows.
class FloatingPanel : public QWidget
{
    Q_OBJECT
public:
    explicit FloatingPanel(QWidget *content, QWidget *parent = nullptr);
    ~FloatingPanel() override;

    // Shows at `position` and fades in over 0.12 s from its first frame on screen.
    void present(const QPoint &position);
    // Fades out over 0.1 s, then hides and deletes itself; no more dismissal requests.
    void dismiss();
    bool isDismissing() const { return m_dismissing; }
    WindowFade *fade() const { return m_fade; }
    // Translucent, with the content's soft margins, when made while a compositor ran; cut to its
    // card's outline whenever none runs (OpaqueSurface).
    bool isTranslucent() const;
    OpaqueSurface *surface() const { return m_surface; }

Q_SIGNALS:
    void dismissRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followPointer(const QPoint &globalPos);

    OpaqueSurface *m_surface;
    bool m_dismissing = false;
    bool m_wasActive = false;
    WindowFade *m_fade;
};
