#pragma once

// Makes SIGTERM and SIGINT (logout, kill, Ctrl+C) end the program through the event loop, so
// that what quitting does (writing pending settings) still happens. Call once, after the
// application object exists.
void quitOnTerminationSignals();
