#include "shell/OpaqueSurface.h"

#include "platform/Compositor.h"
#include "ui/Theme.h"

#include <QLayout>
#include <QPainter>
#include <QWidget>

namespace OpaqueSurface {

bool setUp(QWidget *window)
{
    const bool translucent = Compositor::isRunning();
    window->setAttribute(Qt::WA_TranslucentBackground, translucent);
    return translucent;
}

void fit(QWidget *content, bool translucent)
{
    if (!translucent && content->layout())
        content->layout()->setContentsMargins(0, 0, 0, 0);
}

void paint(QWidget *window)
{
    QPainter p(window);
    p.fillRect(window->rect(), QColor(Theme::card));
}

} // namespace OpaqueSurface
