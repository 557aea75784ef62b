#pragma once

#include <exception>

class Messages;

// The program-wide error report: shows an error that no handler dealt with and leaves the
// window that was open usable.
void SetErrorReportSink(Messages* messages);
void ReportError(const std::exception& error);

// Runs `action`, reporting any error it raises instead of letting it escape.
template <class F>
void Guarded(F&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}
