// quillspot-brand: makes, opens and checks the brand profile that resellers put beside the
// program. It uses the program's own pass phrase and container, so what it makes is what the
// program reads.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "AesLib.h"
#include "AtomicFile.h"
#include "BrandCheck.h"
#include "FileStream.h"
#include "ProtectFile.h"

namespace {

constexpr char kUsage[] =
    "usage: quillspot-brand protect PLAIN OUT      make the protected profile OUT from PLAIN\n"
    "       quillspot-brand unprotect CONTAINER OUT  write the plain text of CONTAINER to OUT\n"
    "       quillspot-brand check CONTAINER        verify CONTAINER and list its tags\n"
    "       quillspot-brand --help                 print this text\n";

constexpr std::size_t kShownValue = 60;

std::string ReadFailure(const FileStream& in, const std::string& fallback) {
    return in.Error().empty() ? fallback : in.Error();
}

// The plain text of a container, in memory; throws unless it is complete and authentic.
std::string OpenProfile(const std::string& path) {
    PlainText plain = DecryptProtectedFile(path);
    if (!plain.authentic) {
        throw std::runtime_error("\"" + path +
                                 "\" is not a brand profile of this program, or it is damaged: "
                                 "wrong pass phrase or authentication code mismatch");
    }
    return std::move(plain.bytes);
}

// The plain text goes through the container a chunk at a time, straight into OUT, so
// memory stays the same whatever the input's size. OUT is written whole or not at all: a
// failure never leaves a partial or empty OUT behind, and an OUT that existed stays as it was.
void Protect(const std::string& plainPath, const std::string& outPath) {
    FileStream in(plainPath, FileStream::Mode::Read);
    TEncryption engine(kProtectPassPhrase, kProtectBufferSize);
    AtomicFile out(outPath);
    if (!engine.EncryptStream(in, out)) {
        throw std::runtime_error(!out.Error().empty()
                                     ? out.Error()
                                     : ReadFailure(in, "Cannot protect \"" + plainPath + "\""));
    }
    out.Commit();
}

void Unprotect(const std::string& containerPath, const std::string& outPath) {
    const std::string plain = OpenProfile(containerPath);
    AtomicFile out(outPath, AtomicFile::Access::OwnerOnly);
    out.Write(plain);
    out.Commit();
}

// A value on one line: long or multi-line values are cut and their size given.
std::string Shown(const std::string& value) {
    const std::size_t cut = std::min(value.find_first_of("\r\n"), kShownValue);
    if (cut >= value.size()) return value;
    return value.substr(0, cut) + "... (" + std::to_string(value.size()) + " bytes)";
}

void Check(const std::string& path) {
    const BrandReport report = CheckBrandText(OpenProfile(path));
    std::cout << path << ": container verified\n";
    std::cout << "tags the program finds, in its reading order:\n";
    for (const BrandTag& tag : report.found)
        std::cout << "  " << tag.name << " = " << Shown(tag.value) << "\n";
    if (report.found.empty()) std::cout << "  (none)\n";
    for (const std::string& warning : report.warnings) std::cout << "warning: " << warning << "\n";
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--help") {
        std::cout << kUsage;
    } else if (args.size() == 3 && args[0] == "protect") {
        Protect(args[1], args[2]);
    } else if (args.size() == 3 && args[0] == "unprotect") {
        Unprotect(args[1], args[2]);
    } else if (args.size() == 2 && args[0] == "check") {
        Check(args[1]);
    } else {
        std::cerr << kUsage;
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "quillspot-brand: " << e.what() << "\n";
        return 1;
    }
}
