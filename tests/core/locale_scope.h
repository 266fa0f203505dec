#pragma once
// Switches the process to a named locale for one test and back to "C" after.
// The build generates de_DE.UTF-8 and en_US.UTF-8 into GW_TEST_LOCALE_DIR when
// the system lacks them; a test skips when neither has the locale.

#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

class LocaleScope {
public:
    explicit LocaleScope(const char* name) : name_(name) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
#ifdef GW_TEST_LOCALE_DIR
        if (!ok_) {
            ::setenv("LOCPATH", GW_TEST_LOCALE_DIR, 1);
            ok_ = std::setlocale(LC_ALL, name) != nullptr;
        }
#endif
    }
    ~LocaleScope() { std::setlocale(LC_ALL, "C"); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool ok() const { return ok_; }
    const std::string& name() const { return name_; }

private:
    std::string name_;
    bool ok_ = false;
};

#define SKIP_WITHOUT_LOCALE(scope)                                                                  \
    if (!(scope).ok())                                                                              \
    GTEST_SKIP() << "locale " << (scope).name()                                                     \
                 << " is not available: install Debian's locales package (make deps) to run this test"
