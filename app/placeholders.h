#pragma once
// The planning wizard, which the main window shows at start-up.

#include "events/frmWizard.h"
