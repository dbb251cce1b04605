#include "ui/PageScroll.h"

#include "ui/WindowLook.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

QScrollArea *makeSeeThroughScroll(QWidget *parent, QVBoxLayout **column)
{
    auto *scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->verticalScrollBar()->setStyle(WindowLook::scrollBarStyle());
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);

    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    scroll->setWidget(content);
    // setWidget() turns the background fill on; what lies beneath must show through.
    content->setAutoFillBackground(false);

    auto *outer = new QVBoxLayout(parent);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    *column = layout;
    return scroll;
}

QScrollArea *makePageScroll(QWidget *page, QVBoxLayout **column, int spacing)
{
    QScrollArea *scroll = makeSeeThroughScroll(page, column);
    (*column)->setContentsMargins(pagePadding, pagePadding, pagePadding, pagePadding);
    (*column)->setSpacing(spacing);
    return scroll;
}
