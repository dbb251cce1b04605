#include "ui/PageScroll.h"

#include "ui/WindowLook.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

QScrollArea *makePageScroll(QWidget *page, QVBoxLayout **column, int spacing)
{
    auto *scroll = new QScrollArea(page);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->verticalScrollBar()->setStyle(WindowLook::scrollBarStyle());
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);

    auto *content = new QWidget;
    content->setAutoFillBackground(false);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(pagePadding, pagePadding, pagePadding, pagePadding);
    layout->setSpacing(spacing);
    scroll->setWidget(content);
    // setWidget() turns the background fill on; the page must stay see-through.
    content->setAutoFillBackground(false);

    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    *column = layout;
    return scroll;
}
