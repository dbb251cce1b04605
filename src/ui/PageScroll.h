#pragma once

class QScrollArea;
class QVBoxLayout;
class QWidget;

// The padding round a page's content; the sidebar's brand sits at the same height as the header.
constexpr int pagePadding = 32;

// A transparent vertical scroll area filling `parent`, with the look's scroll bar; `column`
// receives the layout of its content.
QScrollArea *makeSeeThroughScroll(QWidget *parent, QVBoxLayout **column);

// A dashboard page's scrolling column: transparent, so the paper and dots show through, with the
// pages' 32-point padding. `column` receives the layout the page fills.
QScrollArea *makePageScroll(QWidget *page, QVBoxLayout **column, int spacing);
