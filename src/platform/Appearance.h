#pragma once

#include <QObject>
#include <QPointer>

class ColorSchemeSource;

// The application's light/dark state. "light" and "dark" force one; "system" follows the
// desktop's colour-scheme preference and, where the desktop states none, the lightness of the
// palette's window colour. Views read isDark() when they paint, so a change is one repaint.
class Appearance : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        System,
        Light,
        Dark
    };

    explicit Appearance(QObject *parent = nullptr);
    ~Appearance() override;

    // The process-wide instance; on first use it starts following the settings portal.
    static Appearance &shared();

    // "light" and "dark" name their mode exactly (case-sensitive); everything else is System.
    static Mode modeFromString(const QString &text);

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);

    bool isDark() const { return m_dark; }
    // The desktop's own scheme, whatever the app's mode: what the panel around the tray icon wears.
    bool isDesktopDark() const { return m_desktopDark; }

    // The desktop preference consulted in System mode; not owned. Null: palette only.
    void setSystemSource(ColorSchemeSource *source);

Q_SIGNALS:
    void modeChanged();
    void isDarkChanged(bool dark);
    void isDesktopDarkChanged(bool dark);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reevaluate();
    bool systemPrefersDark() const;

    Mode m_mode = Mode::System;
    bool m_dark = false;
    bool m_desktopDark = false;
    QPointer<ColorSchemeSource> m_source;
};

namespace Pref {
// Applies the "appearance" preference ("system", "light" or "dark") to the whole application.
void applyAppearance();
} // namespace Pref
