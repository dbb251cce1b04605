#pragma once

#include "ui/Theme.h"

#include <QPalette>

class Appearance;
class QWidget;

class QStyle;

// What the platform's own widgets (menu bar, menus, tooltips, scroll bars) need to follow the
// app's light or dark look; our own widgets resolve Theme colours when they paint.
namespace WindowLook {

// The palette of the given scheme, built from the Theme colours.
QPalette palette(ColorScheme scheme);

// A style for scroll bars: a slim rounded handle in the Theme's colours on no groove, resolved
// at paint time, so a change of look is one repaint. Shared; never delete it.
QStyle *scrollBarStyle();

// Gives the window's menu bar and menus, and the tooltips, the current look's palette now and, with
// an `appearance`, on every change of it. Call once the menus are built.
void follow(QWidget *window, const Appearance *appearance);

} // namespace WindowLook
