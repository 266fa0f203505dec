#include "app/gui_program.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "platform/prompts.h"

std::string CurrentExceptionText() {
    if (!std::current_exception()) return kUnexpectedErrorText;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kNoMemoryLeftText;
    } catch (const std::length_error&) {
        return kNoMemoryLeftText;
    } catch (const std::exception& e) {
        return std::string(kUnexpectedErrorText) + "\r\n" + e.what();
    } catch (...) {
        return kUnexpectedErrorText;
    }
}

void ReportCurrentException() {
    MsgBox(CurrentExceptionText(), "Error!", MsgButtons::OK, MsgIcon::Critical);
}

bool ProgramApp::OnExceptionInMainLoop() {
    ReportCurrentException();
    return true;
}

void ProgramApp::OnUnhandledException() { ReportCurrentException(); }
