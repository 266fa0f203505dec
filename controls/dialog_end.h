#pragma once
// Ends a dialog with a result: EndModal when it is shown modally, else (a
// dialog shown by a test without its modal loop) keeps the result and hides it.

#include <wx/dialog.h>

inline void FinishDialog(wxDialog& dialog, int result) {
    if (dialog.IsModal()) {
        dialog.EndModal(result);
    } else {
        dialog.SetReturnCode(result);
        dialog.Hide();
    }
}
