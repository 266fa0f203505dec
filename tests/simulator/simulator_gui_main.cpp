// One wxWidgets application on the test display for every window test of the
// simulator's dialogs.
#include "tests/app/dialogs/gui_test_main.h"

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
