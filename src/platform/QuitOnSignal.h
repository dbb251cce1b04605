#pragma once

// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C) into an orderly QCoreApplication::quit(), so
// the quit path (writing pending changes, saving the window frame) runs. Call once, after the
// application object exists.
//
// Until the main event loop runs, quit() would go unheard: a signal then ends every event loop of
// the main thread (a message box at start-up among them) and the process stops.
void quitOnTerminationSignals();
// Called right before the main event loop starts.
void mainLoopStarting();
