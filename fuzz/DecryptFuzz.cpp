// A protected file's container, decrypted with the program's pass phrase.
#include "AesLib.h"
#include "FuzzInput.h"
#include "MemoryStreams.h"
#include "ProtectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = Bytes(data, size);
    MemorySource source(bytes);
    StringTarget plain;
    TEncryption(kProtectPassPhrase, kProtectBufferSize)
        .DecryptStream(source, &plain, source.Size());
    return 0;
}
