#pragma once

// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C) into an orderly end of the main loop, so the
// quit path (aboutToQuit: writing pending changes, saving the window frame) runs, also while modal
// dialogs are open; nothing asks first. Call once, after the application object exists.
//
// Until the main event loop runs, a signal ends every event loop of the main thread (a fatal
// message box at start-up among them) and the process stops.
void quitOnTerminationSignals();
// Called right before the main event loop starts.
void mainLoopStarting();
