#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace DesktopTools {

// Runs a command of the X test tools (xdotool, xprop …) to completion; its standard output.
QString run(const QString &program, const QStringList &arguments, int timeoutMs = 10000);
bool hasProgram(const QString &program);

// Starts a program in the background for the life of the returned process (deleted with `parent`).
QProcess *startDetachedChild(const QString &program, const QStringList &arguments, QObject *parent);

// Waits until `predicate` holds, pumping events; false on time-out.
bool waitFor(const std::function<bool()> &predicate, int timeoutMs = 5000);

// Asks the window manager to activate a window of ours, as a pager does, until it is active: a
// window manager under load may map a new window without giving it the focus.
bool activate(QWidget &window);

} // namespace DesktopTools
