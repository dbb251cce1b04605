#pragma once

class QScrollArea;
class QVBoxLayout;
class QWidget;

// A dashboard page's scrolling column: transparent, so the paper and dots show through, with the
// pages' 32-point padding. `column` receives the layout the page fills.
QScrollArea *makePageScroll(QWidget *page, QVBoxLayout **column, int spacing);
