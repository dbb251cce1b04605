#include "shell/Application.h"

#include <QEvent>

bool Application::event(QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange)
        Q_EMIT paletteChanged();
    return QApplication::event(event);
}
