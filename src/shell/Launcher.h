#pragma once

#include "platform/HandOver.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class SingleInstance;
class StoreLock;

// The first thing the program proper does, before any application object: hand its arguments (the
// program path left out) to the running instance, or become the instance. Returns what became of
// the launch when this process is done with it; none when it is the instance, which `instance`
// then holds.
std::optional<HandOver::Reply> handOverOrClaim(const QStringList &arguments,
                                               std::unique_ptr<SingleInstance> &instance);

// Next, once this process is the instance of its runtime folder: a Grumblix started from another
// environment (cron, su -, sudo -u, ssh) has a runtime folder of its own but writes the same store.
// Takes the writer lock of the store at `storePath` into `lock` (its folder made first), or hands
// the arguments to the program that holds it, at the address its note gives when that address is
// in a private folder of this user. A holder that is starting (nothing noted yet, its socket not
// there yet) is waited for, never past `timeoutMs`; one that ends meanwhile leaves the lock to
// this process. Returns what became of the launch when it is done with it; none when this process
// goes on as the store's writer, or without the lock because the store's open will say why the
// file cannot be used.
std::optional<HandOver::Reply> handOverToStoreWriter(const QStringList &arguments, const QString &storePath,
                                                     StoreLock &lock, int timeoutMs);
