#include "DailyChart.h"

#include <QCoreApplication>

#include "ModuleFunction.h"

DailyChart* NewDailyChart(QWidget* parent) {
    // The chart module beside the program (a copied folder), where the package installs it,
    // or, for a program run from its build folder's tests and benchmarks, where the build
    // put it.
    using NewChart = DailyChart* (*)(QWidget * parent);
    static const auto make = reinterpret_cast<NewChart>(ModuleFunction(
        {QCoreApplication::applicationDirPath() + "/" + QUILLSPOT_STATS_NAME,
         QStringLiteral(QUILLSPOT_STATS_INSTALLED), QStringLiteral(QUILLSPOT_STATS_BUILT)},
        "QuillspotNewDailyChart", "The statistics cannot be shown: "));
    return make(parent);
}
