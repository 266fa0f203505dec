#pragma once
// The application state lives below the model, in core/app_state.h (gw_core_state);
// the program's own code may go on including it from here.
#include "core/app_state.h"
