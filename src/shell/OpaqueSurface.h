#pragma once

class QWidget;

// The panel's and toast's frameless windows. With a compositor they are translucent and the
// content keeps its soft margins for the card's rounded corners and shadow; without one those
// margins would show black, so the content fills the window and the window paints the card colour.
namespace OpaqueSurface {

// Asks whether a compositor runs and makes `window` translucent if so; returns that answer.
bool setUp(QWidget *window);
// Drops the content's outer margins when the window is opaque.
void fit(QWidget *content, bool translucent);
// The opaque window's background.
void paint(QWidget *window);

} // namespace OpaqueSurface
