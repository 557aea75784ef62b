#include "ProtectFile.h"

#include <stdexcept>

#include "AesLib.h"
#include "FileStream.h"
#include "MemoryStreams.h"

namespace {

// The engine only says false; a read or write error that cut the file short must not pass
// for success, or a caller would go on with a truncated file.
void RaiseTransferError(const FileStream& in, const FileStream& out) {
    if (!in.Error().empty()) throw std::runtime_error(in.Error());
    if (!out.Error().empty()) throw std::runtime_error(out.Error());
}

}  // namespace

void ProtectFile(const std::string& source, const std::string& target) {
    FileStream in(source, FileStream::Mode::Read);
    FileStream out(target, FileStream::Mode::Create);
    TEncryption engine(kProtectPassPhrase, kProtectBufferSize);
    engine.EncryptStream(in, out);
    RaiseTransferError(in, out);
}

void UnprotectFile(const std::string& source, const std::string& target) {
    FileStream in(source, FileStream::Mode::Read);
    FileStream out(target, FileStream::Mode::CreatePrivate);
    TEncryption engine(kProtectPassPhrase, kProtectBufferSize);
    engine.DecryptStream(in, &out, in.Size());
    RaiseTransferError(in, out);
}

PlainText DecryptProtectedFile(const std::string& path) {
    FileStream in(path, FileStream::Mode::Read);
    TEncryption engine(kProtectPassPhrase, kProtectBufferSize);
    StringTarget plain;
    // False for a wrong pass phrase (nothing written) and for a bad authentication code
    // (everything written).
    const bool authentic = engine.DecryptStream(in, &plain, in.Size());
    if (!in.Error().empty()) throw std::runtime_error(in.Error());
    return {plain.Bytes(), authentic};
}
