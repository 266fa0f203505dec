#pragma once
// The entry point of the window tests: one wxWidgets application on the test
// display for every test of the executable. A failed toolkit assertion fails
// the running test instead of opening a message box nobody would answer.

#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

inline void FailOnToolkitAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                                const wxString& msg) {
    ADD_FAILURE() << "toolkit assertion " << cond.utf8_string() << " in " << func.utf8_string() << " ("
                  << file.utf8_string() << ":" << line << "): " << msg.utf8_string();
}

inline int RunWindowTests(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "no display for the window tests\n");
        return 1;
    }
    wxSetAssertHandler(FailOnToolkitAssert);
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
