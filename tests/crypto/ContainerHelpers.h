#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "AesLib.h"
#include "Streams.h"

// Runs the engine over strings.
std::string Encrypt(TEncryption& engine, const std::string& plain);
std::string Encrypt(const std::string& password, const std::string& plain,
                    std::int32_t bufferSize = 4096);
// `ok` receives DecryptStream's result.
std::string Decrypt(TEncryption& engine, const std::string& container, bool& ok);
std::string Decrypt(const std::string& password, const std::string& container, bool& ok,
                    std::int32_t bufferSize = 4096);

// Reproducible bytes of the given length.
std::string PatternBytes(std::size_t length, unsigned seed = 1);

// An entropy source that always delivers the same bytes, so two engines make the same salts.
EntropySource FixedEntropy();

// The container's pieces, recomputed from OpenSSL's primitives without the engine.
struct Derived {
    std::string aesKey, macKey, verifier;
};
Derived DeriveKeys(const std::string& password, const std::string& salt, int mode);
std::string AesEncryptBlock(const std::string& key, const std::string& block);
std::string HmacSha1(const std::string& key, const std::string& data);

// A source that throws on a read that would take it past `limit` bytes.
class FailingSource : public ByteSource {
  public:
    FailingSource(std::string bytes, std::size_t limit) : bytes_(std::move(bytes)), limit_(limit) {}
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }

  private:
    std::string bytes_;
    std::size_t limit_;
    std::size_t position_ = 0;
};

// A target that accepts `limit` bytes and throws on the write that would pass it.
class FailingTarget : public ByteTarget {
  public:
    explicit FailingTarget(std::size_t limit) : limit_(limit) {}
    void Write(const std::uint8_t* data, std::size_t count) override;
    const std::string& Bytes() const { return bytes_; }

  private:
    std::size_t limit_;
    std::string bytes_;
};
