#pragma once
// The one place where the program's dialogs are wired to the menus and tool
// bars of the main window.

// Registers the show function of every dialog that exists (tool_launch.h).
// Call once at start-up, before the main window is created: entries and
// buttons of dialogs not registered here stay disabled.
void RegisterToolDialogs();
