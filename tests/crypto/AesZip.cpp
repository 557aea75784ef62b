#include "AesZip.h"

#include <QProcess>
#include <QStringList>
#include <stdexcept>

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint16_t kAesMethod = 99;
constexpr std::uint16_t kAesExtra = 0x9901;
constexpr std::uint16_t kVersion = 51;
constexpr std::uint16_t kEncrypted = 1;

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t Get(const std::string& in, std::size_t at, int bytes) {
    if (at + bytes > in.size()) throw std::runtime_error("archive too short");
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(in[at + i]);
    return v;
}

std::string AesExtraField(int strength) {
    std::string extra;
    Put16(extra, kAesExtra);
    Put16(extra, 7);
    Put16(extra, 2);  // AE-2: no CRC, the authentication code alone guards the data
    extra += "AE";
    extra += static_cast<char>(strength);
    Put16(extra, 0);
    return extra;
}

// The fields that the local and the central header share, from "version needed" on.
std::string CommonFields(const AesZipEntry& entry, std::uint32_t plainSize,
                         const std::string& extra) {
    std::string out;
    Put16(out, kVersion);
    Put16(out, kEncrypted);
    Put16(out, kAesMethod);
    Put16(out, 0);     // time
    Put16(out, 0x21);  // date: 1980-01-01
    Put32(out, 0);     // CRC, unused by AE-2
    Put32(out, static_cast<std::uint32_t>(entry.data.size()));
    Put32(out, plainSize);
    Put16(out, static_cast<std::uint32_t>(entry.name.size()));
    Put16(out, static_cast<std::uint32_t>(extra.size()));
    return out;
}

}  // namespace

std::string MakeAesZip(const AesZipEntry& entry, std::uint32_t plainSize) {
    const std::string extra = AesExtraField(entry.strength);
    const std::string common = CommonFields(entry, plainSize, extra);
    std::string zip;
    Put32(zip, kLocalHeader);
    zip += common + entry.name + extra + entry.data;

    const auto centralOffset = static_cast<std::uint32_t>(zip.size());
    Put32(zip, kCentralHeader);
    Put16(zip, kVersion);
    zip += common;
    Put16(zip, 0);  // comment length
    Put16(zip, 0);  // disk
    Put16(zip, 0);  // internal attributes
    Put32(zip, 0);  // external attributes
    Put32(zip, 0);  // local header offset
    zip += entry.name + extra;
    const auto centralSize = static_cast<std::uint32_t>(zip.size()) - centralOffset;

    Put32(zip, kEndRecord);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 1);
    Put16(zip, 1);
    Put32(zip, centralSize);
    Put32(zip, centralOffset);
    Put16(zip, 0);
    return zip;
}

AesZipEntry ReadFirstAesEntry(const std::string& zip) {
    const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) throw std::runtime_error("no end record");
    const std::size_t central = Get(zip, end + 16, 4);
    if (Get(zip, central, 4) != kCentralHeader) throw std::runtime_error("no central header");
    if (Get(zip, central + 10, 2) != kAesMethod) throw std::runtime_error("not AES");
    const std::uint32_t packedSize = Get(zip, central + 20, 4);
    const std::size_t local = Get(zip, central + 42, 4);
    if (Get(zip, local, 4) != kLocalHeader) throw std::runtime_error("no local header");

    AesZipEntry entry;
    const std::size_t nameLength = Get(zip, local + 26, 2);
    const std::size_t extraLength = Get(zip, local + 28, 2);
    entry.name = zip.substr(local + 30, nameLength);
    for (std::size_t at = local + 30 + nameLength; at + 4 <= local + 30 + nameLength + extraLength;
         at += 4 + Get(zip, at + 2, 2)) {
        if (Get(zip, at, 2) == kAesExtra) {
            entry.strength = static_cast<int>(Get(zip, at + 8, 1));
            entry.actualMethod = static_cast<int>(Get(zip, at + 9, 2));
        }
    }
    if (entry.strength == 0) throw std::runtime_error("no AES extra field");
    entry.data = zip.substr(local + 30 + nameLength + extraLength, packedSize);
    return entry;
}

ToolRun RunSevenZip(const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    QProcess process;
    process.start(QStringLiteral(SEVEN_ZIP_EXECUTABLE), args);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput().toStdString();
    return run;
}
