#pragma once

#include <functional>

class AppModel;
class QObject;
class QTimer;

// Makes `owner` refresh whenever the incidents change (a log touches both the store and the log
// tick) or the calendar day turns, coalesced into one call on the next turn of the event loop.
// The returned timer is the pending refresh; a refresh made directly should stop it.
QTimer *watchForRefresh(AppModel &model, QObject *owner, std::function<void()> refresh);
