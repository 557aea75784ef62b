#include "StatsCsv.h"

#include <array>

#include "ClickRate.h"

namespace {

void AppendField(std::string& csv, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        csv += field;
        return;
    }
    csv += '"';
    for (const char c : field) {
        if (c == '"') csv += '"';
        csv += c;
    }
    csv += '"';
}

void AppendLine(std::string& csv, const std::array<std::string, 4>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) csv += ',';
        AppendField(csv, fields[i]);
    }
    csv += "\r\n";
}

}  // namespace

std::string StatsCsv(const DailySeries& series) {
    std::string csv;
    AppendLine(csv, {"Day", "Impressions", "Clicks", "Click rate"});
    for (std::size_t i = 0; i < series.days.size(); ++i) {
        const DayTotals& day = series.days[i];
        // A locale's decimal comma makes the rate a quoted field.
        AppendLine(csv, {series.first.addDays(i).toString(Qt::ISODate).toStdString(),
                         std::to_string(day.impressions), std::to_string(day.clicks),
                         ClickRateText(day.impressions, day.clicks).toStdString()});
    }
    return csv;
}
