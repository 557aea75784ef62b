#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

// The whole process's resident memory now, in bytes.
inline double ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// A process's peak resident memory since the last ResetPeakResident(), in bytes; `process`
// is a pid or "self".
inline double PeakResidentBytes(const std::string& process = "self") {
    std::ifstream status("/proc/" + process + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024;
    return 0;
}

inline void ResetPeakResident(const std::string& process = "self") {
    std::ofstream("/proc/" + process + "/clear_refs") << "5";
}
