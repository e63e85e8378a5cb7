#pragma once
// The editors and utility windows of the events, guests, seating and money
// parts of the program, which the main window's commands open: they write
// each window's public variables and show it modal or modeless as each
// command requires.

// ---------------------------------------------------------------- events, tasks, appointments

#include "events/frmAddAppt.h"

#include "events/frmEventInfo.h"

#include "events/frmEventTasks.h"

#include "events/frmWizAddTask.h"

// ---------------------------------------------------------------- guests and invitations

#include "guests/frmGuestDetail.h"

#include "guests/frmExportData.h"
#include "guests/frmImportData.h"

#include "guests/frmInvite.h"

// ---------------------------------------------------------------- seating and stationery

#include "seating/frmSeating.h"

#include "seating/frmLabels.h"

#include "seating/frmPlacard.h"

// ---------------------------------------------------------------- vendors, budget, attire, gifts

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmAutoBudget.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
