#pragma once
// The program's start: the data store (records/modQVDatabase.h) opened,
// then the main window shown.

namespace startup {

// Start-up, then the main window; returns the program's exit code.
int Main();

}  // namespace startup
