#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "FileCrypt.h"
#include "SaltGenerator.h"
#include "Streams.h"

// Holds what a pass phrase needs: the mode its length selects (1: under 32 bytes, AES-128;
// 2: under 48, AES-192; 3: longer, AES-256), the working buffer and the cipher state.
class TCrypt {
  public:
    // Throws std::invalid_argument when `bufferSize` is below 1.
    TCrypt(std::string password, std::int32_t bufferSize);
    virtual ~TCrypt();
    TCrypt(const TCrypt&) = delete;
    TCrypt& operator=(const TCrypt&) = delete;

    std::int32_t Mode() const { return mode_; }

  protected:
    std::int32_t mode_;
    FileCryptContext context_;
    std::string password_;
    std::int32_t bufferSize_;
    std::unique_ptr<std::uint8_t[]> buffer_;  // every chunk passes through here, in place
};

// Turns a stream into a container (salt, pass phrase verifier, ciphertext, 10-byte
// authentication code) and back. Neither operation throws: any failure, a stream's or the
// progress callback's included, ends it with false, and what was written stays written.
class TEncryption : public TCrypt {
  public:
    // Progress codes and their values.
    static constexpr std::int32_t kProgressStart = 1;      // decrypting: the source size, negated
    static constexpr std::int32_t kProgressEncrypted = 4;  // plaintext bytes read so far
    static constexpr std::int32_t kProgressDecrypted = 5;  // ciphertext bytes of this read

    using ProgressEvent =
        std::function<void(TEncryption& sender, std::int32_t code, std::int64_t value)>;

    TEncryption(std::string password, std::int32_t bufferSize);
    // For tests that need reproducible salts.
    TEncryption(std::string password, std::int32_t bufferSize, EntropySource entropy);
    ~TEncryption() override;

    // Writes one complete container for everything the source yields.
    bool EncryptStream(ByteSource& source, ByteTarget& target);

    // Reads a container of `sourceSize` bytes and writes its plaintext to `target`, or only
    // checks it when `target` is null. True only when both the verifier and the
    // authentication code match. A wrong pass phrase is noticed before anything is written;
    // a bad authentication code only after all the plaintext has been written. An error
    // thrown by the callback's start report is the one thing that reaches the caller.
    bool DecryptStream(ByteSource& source, ByteTarget* target, std::int64_t sourceSize);

    ProgressEvent OnProgress;

  private:
    void Report(std::int32_t code, std::int64_t value);
    std::size_t ReadChunk(ByteSource& source, std::size_t count);
    int KeySetup(const std::uint8_t* salt, std::uint8_t* verifier);
    bool Decrypt(ByteSource& source, ByteTarget* target, std::int64_t sourceSize);

    SaltGenerator generator_;
};
