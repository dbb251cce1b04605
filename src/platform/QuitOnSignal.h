#pragma once

// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C) into an orderly QCoreApplication::quit(), so
// the quit path (writing pending changes, saving the window frame) runs. Call once, after the
// application object exists.
void quitOnTerminationSignals();
