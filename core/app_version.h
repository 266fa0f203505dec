#pragma once
// The program's version, from the project's version in the build.

#include <string>

int AppVersionMajor();
int AppVersionMinor();
int AppVersionRevision();
// Major, minor and revision joined by ".", e.g. "1.3.3".
std::string AppVersionText();
