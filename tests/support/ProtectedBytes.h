#pragma once

#include <string>

#include "AesLib.h"
#include "MemoryStreams.h"
#include "ProtectFile.h"

// The container the program would make of `plain`, held in memory.
inline std::string ProtectedBytes(const std::string& plain,
                                  const std::string& passPhrase = kProtectPassPhrase) {
    MemorySource source(plain);
    StringTarget container;
    TEncryption(passPhrase, kProtectBufferSize).EncryptStream(source, container);
    return container.Bytes();
}
