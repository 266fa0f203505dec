#pragma once
// The desktop's own programs, run without a window: finding them on the PATH,
// running one to its end with its output, starting one to run on its own,
// and whether the desktop's opener (xdg-open) can be trusted with a web page
// or an HTML file.
//
// Every program started here starts clean: in the folder "/" (so nothing it
// takes relative to its working folder, such as a word of a path that a
// script split at a blank, is taken from the folder this program runs in),
// with its standard input and errors on /dev/null, and with no descriptor but
// those three, whatever this program inherited or holds without
// close-on-exec; no signal blocked, and a broken pipe and a file-size limit
// at their defaults, whatever this program does with them.

#include <functional>
#include <string>
#include <vector>

// The program's path in the first folder of the PATH that holds it,
// executable; empty when none does. Only the folders of
// fsys::ProgramSearchPath() are searched: the absolute ones of the PATH (an
// empty or relative entry would name the current folder), or the system's
// default where it has none; a name holding "/" is never found. The functions
// below start a program by the path this same search finds, and hand it those
// folders as its PATH, so that the scripts among them find nothing in the
// current folder either.
std::string FindProgramOnPath(const std::string& name);

// True when FindProgramOnPath finds the program.
bool IsProgramOnPath(const std::string& name);

// How a program run to its end ended. True when it was started and ended by
// itself with status 0.
struct RunResult {
    bool Found = false;    // FindProgramOnPath found it
    bool Started = false;  // it was started (executed)
    bool Stopped = false;  // it had not ended after 10 seconds, and was stopped
    int Signal = 0;        // the signal that ended it; 0 when it ended by itself
    int Status = -1;       // its exit status when it ended by itself
    explicit operator bool() const { return Started && !Stopped && Signal == 0 && Status == 0; }
};

// Why a program found on the PATH did not end well, as a sentence naming it
// ("update-mime-database ended with exit status 1."); empty when it did, or
// when it was not found.
std::string RunFailure(const std::string& program, const RunResult& result);

// Runs the command (its program looked up on the PATH) to its end, with its
// standard output in `output` (at most 64 KiB kept) and its errors discarded.
// False when it could not be started, ended with a status other than 0, or
// had not ended after 10 seconds (it is stopped then). It runs as this
// program's own user.
RunResult RunForOutput(const std::vector<std::string>& command, std::string& output);

// The same with the output discarded.
RunResult RunQuietly(const std::vector<std::string>& command);

// What the opener check asks of the desktop; tests put in their own answers.
struct DesktopProbe {
    std::function<bool(const std::string& program)> IsInstalled = IsProgramOnPath;
    std::function<bool(const std::vector<std::string>& command, std::string& output)> Run =
        [](const std::vector<std::string>& command, std::string& output) {
            return static_cast<bool>(RunForOutput(command, output));
        };
};

// Starts the command (its program looked up on the PATH) without waiting for
// it: it runs on by itself, its input and output going nowhere, and is never
// left behind as a zombie of this program. True when the program was started
// (found and executed); what it does then is its own affair.
bool StartDetached(const std::vector<std::string>& command);

// Whether pages may be handed to the desktop's opener, xdg-open. Without it
// there is no desktop opener. xdg-open starts and reports success even where
// it finds no program for web pages, so it is used only when xdg-mime names a
// default program for text/html.
bool UseDesktopOpener(const DesktopProbe& probe = {});
