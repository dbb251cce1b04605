#pragma once

#include "models/Shortcut.h"
#include "ui/ChunkyButton.h"

#include <QWidget>
#include <functional>

class AppModel;
class GhostButton;
class HotKeyService;

// The recorder's main button: the current shortcut as key caps, or the recording prompt in red.
class RecorderButton : public ChunkyButton
{
    Q_OBJECT
public:
    explicit RecorderButton(QWidget *parent = nullptr);

    void setShortcut(const Shortcut &shortcut);
    void setRecording(bool recording);
    bool isRecording() const { return m_recording; }
    // The key caps shown while idle: the modifier names, then the key.
    QStringList caps() const;

    // The prompt on one line where the column allows; narrower, it wraps and the button grows
    // downwards instead of pushing the page's other column out of the window.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    static QString prompt() { return QStringLiteral("Press your shortcut\u2026  (esc cancels)"); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shortcut m_shortcut;
    bool m_recording = false;
};

// Records a new global shortcut. Idle it shows the current one (and "Reset" when it is not the
// default); clicked, it releases the global grab so the keys reach our windows, and the next key
// press with Ctrl, Alt or Super in any of them becomes the shortcut: stored, published on the
// model and registered. Escape, a second click or leaving the screen cancels and registers the
// old one again.
class ShortcutRecorder : public QWidget
{
    Q_OBJECT
public:
    // `hotKeys` may be null: every registration then fails.
    ShortcutRecorder(AppModel &model, HotKeyService *hotKeys, QWidget *parent = nullptr);
    ~ShortcutRecorder() override;

    bool isRecording() const { return m_recording; }
    void start();
    void stop(bool reRegister);
    // Stores and registers Alt+Shift+F.
    void reset();

    // What a refused combination sounds like; the system beep unless a test replaces it.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    RecorderButton *button() const { return m_button; }
    GhostButton *resetButton() const { return m_reset; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void handleKey(class QKeyEvent *event);
    void adopt(const Shortcut &shortcut);
    bool registerShortcut(const Shortcut &shortcut);
    void sync();

    AppModel &m_model;
    HotKeyService *m_hotKeys;
    RecorderButton *m_button;
    GhostButton *m_reset;
    bool m_recording = false;
    std::function<void()> m_beep;
};
