#pragma once
// The one place where the program's dialogs are wired to the menus and tool
// bars of the main window.

// Registers the show function of every dialog that exists (tool_launch.h).
// Call once at start-up, before the main window is created: entries and
// buttons of dialogs not registered here stay disabled.
void RegisterToolDialogs();

// Finishes the tools that stay open beside the main window (Track > Move),
// as their Done button does. The main window calls it before the commands
// that must not run beside them: opening a document, closing the program and
// launching another tool.
void FinishModelessTools();
