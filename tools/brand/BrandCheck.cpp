#include "BrandCheck.h"

#include <algorithm>

#include "BrandProfile.h"
#include "TagText.h"

namespace {

bool IsWritten(const std::string& text, const std::string& name) {
    return FindMarker(text, OpeningMarker(name)) != std::string::npos;
}

// Why a tag that is written in the text was not found when its turn came; empty when it was
// found but empty, which for a single tag simply means "not given".
std::string WhyMissed(const std::string& text, const std::string& name, bool listEntry) {
    const std::string opening = OpeningMarker(name);
    const std::size_t start = FindMarker(text, opening) + opening.size();
    const std::size_t end = FindMarker(text, ClosingMarker(name), start);
    if (end == std::string::npos)
        return name + " has no closing marker after it and reads as empty";
    if (end == start) return listEntry ? name + " is empty and ends its list" : "";
    return name + " stands before a tag that is read earlier and will not be found";
}

class Checker {
  public:
    explicit Checker(const std::string& text) : text_(text), rest_(text) {}

    // Reads one tag in its turn; false when its value is empty.
    bool Read(const std::string& name, bool listEntry) {
        std::string value = TakeTagValue(OpeningMarker(name), ClosingMarker(name), rest_);
        if (value.empty()) {
            if (IsWritten(text_, name)) Warn(WhyMissed(text_, name, listEntry));
            return false;
        }
        report_.found.push_back({name, std::move(value)});
        return true;
    }

    // Entries 1 to 16, up to the first empty one, which ends the list.
    void ReadList(const std::string& list) {
        int n = 1;
        while (n <= kMaxBrandEntries && Read(list + std::to_string(n), true)) {
            const BrandTag& entry = report_.found.back();
            if (list != kBrandLists[kWelcomeList] && entry.value.find('^') == std::string::npos) {
                Warn(entry.name + " has no \"^\" between its two pieces");
            }
            ++n;
        }
        const std::string end = list + std::to_string(n);
        for (int later = std::min(n + 1, kMaxBrandEntries + 1); later <= kMaxBrandEntries + 1;
             ++later) {
            const std::string name = list + std::to_string(later);
            if (!IsWritten(text_, name)) continue;
            Warn(later > kMaxBrandEntries ? name + " is not read: a list has at most " +
                                                std::to_string(kMaxBrandEntries) + " entries"
                                          : name + " is not read: the list stops at " + end);
        }
    }

    BrandReport Finish() { return std::move(report_); }

  private:
    void Warn(std::string warning) {
        if (!warning.empty()) report_.warnings.push_back(std::move(warning));
    }

    const std::string& text_;
    std::string rest_;
    BrandReport report_;
};

}  // namespace

BrandReport CheckBrandText(const std::string& bytes) {
    const std::string text = JoinLinesCrLf(bytes);
    Checker checker(text);
    for (const BrandField& field : kBrandFields) checker.Read(field.tag, false);
    for (const char* list : kBrandLists) checker.ReadList(list);
    BrandReport report = checker.Finish();
    // The program reads the text only up to its first NUL byte, so nothing after one counts.
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) {
        const auto line =
            std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
        report.warnings.insert(report.warnings.begin(),
                               "the program stops reading at the NUL byte at offset " +
                                   std::to_string(nul) + " (line " + std::to_string(line) +
                                   "): nothing after it is read");
    }
    return report;
}
