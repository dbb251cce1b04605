#pragma once

#include <QString>

// Plain Unix stream sockets for tests that play a peer which misbehaves: a server that queues
// connections and never answers, a client that connects and says nothing. Descriptors are the
// caller's to close; -1 on failure.
namespace UnixSockets {

int listenAt(const QString &path);
int connectTo(const QString &path);

} // namespace UnixSockets
