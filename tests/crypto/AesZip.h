#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Just enough of the ZIP format to carry one AES-encrypted entry (the WinZip AE-1/AE-2
// layout: compression method 99 with an 0x9901 extra field) in and out of an archive.

struct AesZipEntry {
    std::string name;
    int strength = 0;      // 1, 2, 3: AES-128, -192, -256
    int actualMethod = 0;  // the compression method under the encryption; 0 is stored
    std::string data;      // salt, verifier, ciphertext, authentication code
};

// An archive with the one stored AE-2 entry whose encrypted data is `entry.data`.
std::string MakeAesZip(const AesZipEntry& entry, std::uint32_t plainSize);

// The first entry of an archive; throws when it is not AES-encrypted.
AesZipEntry ReadFirstAesEntry(const std::string& zip);

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

// Runs the 7-Zip command-line program found at configure time, with no shell in between.
ToolRun RunSevenZip(const std::vector<std::string>& arguments);
