#include "AesLib.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

std::int32_t ModeFor(std::size_t passwordLength) {
    if (passwordLength < 32) return 1;
    if (passwordLength < 48) return 2;
    return 3;
}

bool ReadFull(ByteSource& source, std::uint8_t* data, std::size_t count) {
    return source.Read(data, count) == count;
}

}  // namespace

TCrypt::TCrypt(std::string password, std::int32_t bufferSize)
    : mode_(ModeFor(password.size())), password_(std::move(password)), bufferSize_(bufferSize) {
    if (bufferSize < 1) throw std::invalid_argument("buffer size must be at least 1");
    buffer_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(bufferSize));
}

TCrypt::~TCrypt() = default;

TEncryption::TEncryption(std::string password, std::int32_t bufferSize)
    : TEncryption(std::move(password), bufferSize, ClockEntropy) {}

TEncryption::TEncryption(std::string password, std::int32_t bufferSize, EntropySource entropy)
    : TCrypt(std::move(password), bufferSize), generator_(std::move(entropy)) {}

TEncryption::~TEncryption() = default;

bool TEncryption::EncryptStream(ByteSource& source, ByteTarget& target) {
    try {
        const int saltLength = SaltLength(mode_);
        std::uint8_t header[SaltLength(3) + kVerifierLength];
        generator_.RandomBytes(header, saltLength);
        if (KeySetup(header, header + saltLength) != kKeySetupOk) return false;
        target.Write(header, saltLength + kVerifierLength);

        const auto chunk = static_cast<std::size_t>(bufferSize_);
        std::int64_t total = 0;
        std::size_t n = 0;
        do {
            n = ReadChunk(source, chunk);
            total += static_cast<std::int64_t>(n);
            Report(kProgressEncrypted, total);
            context_.EncryptData(buffer_.get(), n);
            if (n > 0) target.Write(buffer_.get(), n);
        } while (n == chunk);

        std::uint8_t mac[kMacLength];
        context_.FinishMac(mac);
        target.Write(mac, kMacLength);
        return true;
    } catch (...) {
        return false;
    }
}

bool TEncryption::DecryptStream(ByteSource& source, ByteTarget* target, std::int64_t sourceSize) {
    Report(kProgressStart, sourceSize > 0 ? -sourceSize : 0);
    try {
        return Decrypt(source, target, sourceSize);
    } catch (...) {
        return false;
    }
}

bool TEncryption::Decrypt(ByteSource& source, ByteTarget* target, std::int64_t sourceSize) {
    const int saltLength = SaltLength(mode_);
    if (sourceSize < saltLength + kVerifierLength + kMacLength) return false;

    std::uint8_t salt[SaltLength(3)];
    std::uint8_t verifier[kVerifierLength];
    std::uint8_t stored[kVerifierLength];
    if (!ReadFull(source, salt, saltLength)) return false;
    if (KeySetup(salt, verifier) != kKeySetupOk) return false;
    if (!ReadFull(source, stored, kVerifierLength)) return false;
    if (std::memcmp(stored, verifier, kVerifierLength) != 0) return false;

    std::int64_t remaining = sourceSize - saltLength - kVerifierLength - kMacLength;
    while (remaining > 0) {
        const auto n = ReadChunk(
            source, static_cast<std::size_t>(std::min<std::int64_t>(bufferSize_, remaining)));
        if (n == 0) return false;
        Report(kProgressDecrypted, static_cast<std::int64_t>(n));
        context_.DecryptData(buffer_.get(), n);
        if (target != nullptr) target->Write(buffer_.get(), n);
        remaining -= static_cast<std::int64_t>(n);
    }

    std::uint8_t mac[kMacLength];
    std::uint8_t storedMac[kMacLength];
    context_.FinishMac(mac);
    if (!ReadFull(source, storedMac, kMacLength)) return false;
    return CRYPTO_memcmp(mac, storedMac, kMacLength) == 0;
}

void TEncryption::Report(std::int32_t code, std::int64_t value) {
    if (OnProgress) OnProgress(*this, code, value);
}

// Reads into the working buffer, refusing a source that claims more than was asked for.
std::size_t TEncryption::ReadChunk(ByteSource& source, std::size_t count) {
    const std::size_t n = source.Read(buffer_.get(), count);
    if (n > count) throw std::length_error("source read past the request");
    return n;
}

int TEncryption::KeySetup(const std::uint8_t* salt, std::uint8_t* verifier) {
    return context_.KeySetup(mode_, reinterpret_cast<const std::uint8_t*>(password_.data()),
                             password_.size(), salt, verifier);
}
