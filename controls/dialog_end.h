#pragma once
// Ends a dialog with a result: EndModal when it is shown modally, else (a
// dialog shown by a test without its modal loop) keeps the result and hides it.
// CloseOnEscape lets Escape close a window that has no Cancel button.

#include <wx/dialog.h>
#include <wx/toplevel.h>

inline void FinishDialog(wxDialog& dialog, int result) {
    if (dialog.IsModal()) {
        dialog.EndModal(result);
    } else {
        dialog.SetReturnCode(result);
        dialog.Hide();
    }
}

// Escape closes the window as its close box does (its close handler may still
// ask first and keep it open): for windows that end with Exit, Done or a
// click rather than with a Cancel button.
inline void CloseOnEscape(wxTopLevelWindow& window) {
    window.Bind(wxEVT_CHAR_HOOK, [&window](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) {
            window.Close();
            return;
        }
        event.Skip();
    });
}
