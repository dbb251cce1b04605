#pragma once

#include "ui/HoverButton.h"
#include "ui/Theme.h"

class SpringAnimator;

// The primary button look: a bordered block of `fill` sitting 2.5 up-left of its hard shadow
// slab; pressing sinks the face onto the slab. Optional leading symbol.
class ChunkyButton : public HoverButton
{
    Q_OBJECT
public:
    ChunkyButton(const QString &text, ThemeColor fill, ThemeColor foreground, bool compact = false,
                 QWidget *parent = nullptr);

    ThemeColor fill() const { return m_fill; }
    void setFill(ThemeColor fill);
    ThemeColor foreground() const { return m_foreground; }
    void setForeground(ThemeColor foreground);
    bool isCompact() const { return m_compact; }
    void setCompact(bool compact);
    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);

    // How far the face has sunk towards its slab (0 at rest, 2.5 pressed).
    qreal sink() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr qreal kLift = 2.5;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont labelFont() const;

    ThemeColor m_fill;
    ThemeColor m_foreground;
    bool m_compact;
    QString m_symbol;
    SpringAnimator *m_press;
};

// The quiet tertiary button: ink label, a faint ink tint on hover, deeper while pressed.
class GhostButton : public HoverButton
{
    Q_OBJECT
public:
    explicit GhostButton(const QString &text, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
};
