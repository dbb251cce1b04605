#include "ui/PageScroll.h"

#include "ui/WindowLook.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// While the scroll bar shows, it takes its width from the column's right-hand padding, so a page
// that scrolls is laid out as wide as one that does not.
class BarInPadding : public QObject
{
public:
    BarInPadding(QScrollArea *scroll, QVBoxLayout *column)
        : QObject(scroll), m_scroll(scroll), m_column(column)
    {
        scroll->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            sync();
        return QObject::eventFilter(watched, event);
    }

private:
    void sync()
    {
        const int bar = qMax(0, m_scroll->contentsRect().width() - m_scroll->viewport()->width());
        QMargins margins = m_column->contentsMargins();
        // The padding the page asked for, whatever the bar took of it before.
        const int own = margins.right() + m_taken;
        m_taken = qMin(own, bar);
        if (margins.right() == own - m_taken)
            return;
        margins.setRight(own - m_taken);
        m_column->setContentsMargins(margins);
    }

    QScrollArea *m_scroll;
    QVBoxLayout *m_column;
    int m_taken = 0;
};

} // namespace

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
    new BarInPadding(scroll, *column);
    return scroll;
}

CardRow::CardRow(Direction direction, int spacing, int slabRoom) : QBoxLayout(direction), m_room(slabRoom)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing - slabRoom);
}

QSize CardRow::withoutRoom(QSize size) const
{
    const auto less = [this](int extent) {
        return extent >= QWIDGETSIZE_MAX ? extent : qMax(0, extent - m_room);
    };
    return {less(size.width()), less(size.height())};
}

void CardRow::setGeometry(const QRect &rect)
{
    QBoxLayout::setGeometry(rect.adjusted(0, 0, m_room, m_room));
}

QSize CardRow::sizeHint() const
{
    return withoutRoom(QBoxLayout::sizeHint());
}

QSize CardRow::minimumSize() const
{
    return withoutRoom(QBoxLayout::minimumSize());
}

QSize CardRow::maximumSize() const
{
    return withoutRoom(QBoxLayout::maximumSize());
}

int CardRow::heightForWidth(int width) const
{
    const int height = QBoxLayout::heightForWidth(width + m_room);
    return height < 0 ? height : qMax(0, height - m_room);
}

int CardRow::minimumHeightForWidth(int width) const
{
    const int height = QBoxLayout::minimumHeightForWidth(width + m_room);
    return height < 0 ? height : qMax(0, height - m_room);
}
