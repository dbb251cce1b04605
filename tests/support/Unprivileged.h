#pragma once

#include <QString>
#include <optional>

// Tests of file permissions mean nothing to root, who may write anything. Under root this runs one
// test function of the running test executable again as the unprivileged user "nobody" and
// returns whether it passed (its output goes to this test's log); for anyone else it returns none
// and the test runs in place.
namespace Unprivileged {

std::optional<bool> runTestFunction(const QString &function);

} // namespace Unprivileged
