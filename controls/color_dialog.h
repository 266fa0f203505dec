#pragma once
// ShowColorDialog: the one place where the program asks the user for a colour.
// It shows the platform's colour chooser (platform/color_chooser.h) on a start
// colour and hands the chosen colour back. One table of 16 custom colours lasts
// for the whole run: filled from the system colours 0 to 15 at the first call,
// then changed only by the chooser, so custom colours defined in one dialog are
// offered again in every later one. It is never written to a file.
//
// Every swatch passes a copy of its colour, true, true, false and its own
// window, and takes the colour only when the result is true.

#include <cstdint>

#include "platform/color_chooser.h"

class wxWindow;

// Color: in, the colour the chooser starts on (0x00BBGGRR); out, the chosen
// colour when the result is true, -1 otherwise (cancel and a failure of the
// chooser alike). AnyColor: any colour may be chosen, else solid colours only.
// FullOpen: the custom colour part opens at once. PreventFullOpen: it cannot be
// opened. Owner: the chooser's owner window, nullptr for none.
bool ShowColorDialog(int32_t& Color, bool AnyColor, bool FullOpen, bool PreventFullOpen, wxWindow* Owner);

// The run's custom colour table and whether the first call has filled it.
const CustomColorTable& CustomColors();
bool CustomColorsFilled();
// Empties the table as at program start (for tests).
void ResetCustomColors();
