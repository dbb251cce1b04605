#include "MainMenu.h"

#include <QApplication>
#include <QMenuBar>
#include <QWidget>

namespace {

// Runs a standard editing slot (undo, copy …) on the focused widget when it has one.
void sendToFocus(const char *slot)
{
    if (QWidget *focus = QApplication::focusWidget()) {
        if (focus->metaObject()->indexOfMethod(QByteArray(slot) + "()") >= 0)
            QMetaObject::invokeMethod(focus, slot);
    }
}

QAction *add(QMenu *menu, const QString &title, const QKeySequence &keys, const std::function<void()> &run)
{
    QAction *action = menu->addAction(title);
    if (!keys.isEmpty())
        action->setShortcut(keys);
    if (run)
        QObject::connect(action, &QAction::triggered, action, [run] { run(); });
    else
        action->setEnabled(false);
    return action;
}

} // namespace

namespace MainMenu {

void install(QMenuBar *bar, QWidget *window, const MainMenuActions &actions)
{
    QMenu *app = bar->addMenu(QStringLiteral("Grumblix"));
    add(app, QStringLiteral("About Grumblix"), {}, actions.about);
    add(app, QStringLiteral("Check for Updates…"), {}, actions.checkForUpdates);
    app->addSeparator();
    add(app, QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma), actions.openSettings);
    app->addSeparator();
    add(app, QStringLiteral("Hide Grumblix"), QKeySequence(Qt::CTRL | Qt::Key_H), actions.hide);
    add(app, QStringLiteral("Quit Grumblix"), QKeySequence(Qt::CTRL | Qt::Key_Q), actions.quit);

    QMenu *edit = bar->addMenu(QStringLiteral("Edit"));
    add(edit, QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), [] { sendToFocus("undo"); });
    add(edit, QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
        [] { sendToFocus("redo"); });
    edit->addSeparator();
    add(edit, QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), [] { sendToFocus("cut"); });
    add(edit, QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), [] { sendToFocus("copy"); });
    add(edit, QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), [] { sendToFocus("paste"); });
    add(edit, QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
        [] { sendToFocus("selectAll"); });
    if (actions.emojiPicker) {
        edit->addSeparator();
        add(edit, QStringLiteral("Emoji & Symbols"), {}, actions.emojiPicker);
    }

    QMenu *windowMenu = bar->addMenu(QStringLiteral("Window"));
    add(windowMenu, QStringLiteral("Close"), QKeySequence(Qt::CTRL | Qt::Key_W),
        [window] { window->close(); });
    add(windowMenu, QStringLiteral("Minimize"), QKeySequence(Qt::CTRL | Qt::Key_M),
        [window] { window->showMinimized(); });
}

} // namespace MainMenu
