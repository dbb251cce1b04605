#pragma once

#include "app/DashboardTab.h"
#include "ui/HoverButton.h"

#include <QWidget>

class AppModel;
class KeyCaps;
class UnsavedNote;

// One row of the page list: the page's symbol and title, a raised paper tile when selected, a
// faint tint under the pointer otherwise.
class SidebarItem : public HoverButton
{
    Q_OBJECT
public:
    SidebarItem(DashboardTab tab, QWidget *parent = nullptr);
    DashboardTab tab() const { return m_tab; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DashboardTab m_tab;
    bool m_selected = false;
};

// The dashboard's left column: brand, one row per page, the note of unsaved changes while any
// wait, the global shortcut and the privacy line.
class Sidebar : public QWidget
{
    Q_OBJECT
public:
    explicit Sidebar(AppModel &model, QWidget *parent = nullptr);

    QList<SidebarItem *> items() const { return m_items; }
    KeyCaps *keyCaps() const { return m_keys; }
    UnsavedNote *unsavedNote() const { return m_unsaved; }

    static constexpr int width = 212;

Q_SIGNALS:
    // A row was clicked.
    void tabChosen(DashboardTab tab);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void syncSelection();

    AppModel &m_model;
    QList<SidebarItem *> m_items;
    KeyCaps *m_keys;
    UnsavedNote *m_unsaved;
};
