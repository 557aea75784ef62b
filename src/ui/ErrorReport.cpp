#include "ErrorReport.h"

#include <cstdio>

#include "Messages.h"

namespace {
Messages* sink = nullptr;
}

void SetErrorReportSink(Messages* messages) { sink = messages; }

void ReportError(const std::exception& error) {
    if (sink)
        sink->Warning(error.what());
    else
        std::fprintf(stderr, "%s\n", error.what());
}
