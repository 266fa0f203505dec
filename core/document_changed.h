#pragma once
// The one way a tool marks the open document changed. The main window installs
// an observer that shows the change (a "*" in its title, Save enabled); without
// one only the flag is set.

#include <functional>

// gDocumentChanged := true and the observer told, unless the flag was already set.
void SetDocumentChanged();

using DocumentChangedObserver = std::function<void()>;
void SetDocumentChangedObserver(DocumentChangedObserver observer);  // an empty function removes it
