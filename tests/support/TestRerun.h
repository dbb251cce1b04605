#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace TestRerun {

// Runs one test function of the running test executable again in a child process, under a wrapper
// (`wrapper` and its arguments, then the executable and the function) with `env`; true when it
// passed. What it printed goes to this test's log, under `how`, when it did not.
bool run(const QString &function, const QString &wrapper, const QStringList &wrapperArguments,
         const QProcessEnvironment &env, const QString &how);

} // namespace TestRerun
