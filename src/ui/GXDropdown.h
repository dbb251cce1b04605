#pragma once

#include "ui/HoverButton.h"

#include <QList>
#include <QPointer>
#include <QVariant>
#include <optional>

class OverlayCenter;

// One entry of a drop-down menu.
struct GXOption
{
    QVariant value;
    QString label;
    std::optional<QString> emoji;
    bool dividerBefore = false;
};

// One clickable row of a drop-down menu: optional emoji, label, a check mark when selected;
// red under the pointer (or the keyboard).
class MenuRow : public HoverButton
{
    Q_OBJECT
public:
    MenuRow(const std::optional<QString> &emoji, const QString &label, bool selected,
            bool destructive = false, QWidget *parent = nullptr);

    bool isSelected() const { return m_selected; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    QString label() const { return text(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QString> m_emoji;
    bool m_selected;
    bool m_destructive;
    bool m_highlighted = false;
};

// The menu a drop-down opens: its options as rows (a thin rule above those with dividerBefore),
// scrolling in a 444-high view from fifteen options on. Up/Down move, Return picks.
class DropdownMenu : public QWidget
{
    Q_OBJECT
public:
    DropdownMenu(const QList<GXOption> &options, const QVariant &selection, QWidget *parent = nullptr);

    QList<MenuRow *> rows() const { return m_rows; }
    int current() const { return m_current; }
    bool isScrolling() const { return m_scrolling; }

    static constexpr int kScrollFrom = 15;
    static constexpr int kScrollHeight = 444;

Q_SIGNALS:
    void picked(const QVariant &value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setCurrent(int index);

    QList<GXOption> m_options;
    QList<MenuRow *> m_rows;
    QWidget *m_list;
    int m_current = -1;
    bool m_scrolling;
};

// The drop-down: a field-shaped button showing the current option; clicking it (or Space,
// Return, Down) opens the options as a popup of the window's overlay.
class GXDropdown : public HoverButton
{
    Q_OBJECT
public:
    GXDropdown(const QList<GXOption> &options, const QVariant &selection, qreal width,
               std::optional<qreal> menuWidth = std::nullopt, bool trailing = false,
               QWidget *parent = nullptr);

    QList<GXOption> options() const { return m_options; }
    void setOptions(const QList<GXOption> &options);
    QVariant selection() const { return m_selection; }
    void setSelection(const QVariant &selection);
    // The first option with the selected value, if any.
    std::optional<GXOption> currentOption() const;

    // Opens the menu through the overlay of this window; false when there is none.
    bool openMenu();
    bool isMenuOpen() const;
    DropdownMenu *menu() const { return m_menu; }
    // The red ring: while the open menu is under the pointer, or when reached by the keyboard.
    bool showsFocusRing() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    // A pick in the menu, also of the option already selected.
    void activated(const QVariant &value);
    void selectionChanged(const QVariant &value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void pick(const QVariant &value);
    bool m_keyboardFocus = false;

    QList<GXOption> m_options;
    QVariant m_selection;
    qreal m_width;
    std::optional<qreal> m_menuWidth;
    bool m_trailing;
    QPointer<DropdownMenu> m_menu;
    QPointer<OverlayCenter> m_center;
};
