#include "FakeNotifier.h"

#include <QTimer>

void FakeNotifier::queryAuthorized(std::function<void(bool authorized)> done)
{
    ++queries;
    QTimer::singleShot(0, this, [this, answer = authorized, done = std::move(done)] {
        ++answers;
        done(answer);
    });
}
