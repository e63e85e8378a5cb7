#pragma once
// The program's start: the data store (records/modQVDatabase.h) opened,
// then the main window shown.

#include "records/modQVDatabase.h"

namespace modQVDatabase {

// Start-up, then the main window; returns the program's exit code.
int Main();

}  // namespace modQVDatabase
