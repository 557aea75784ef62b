#include "SaltGenerator.h"

// SHA1_Transform is deprecated in OpenSSL 3 but is still its only way to reach the bare
// compression function, which the pool mixing needs.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

constexpr std::size_t kDigest = 20;
constexpr std::size_t kMessage = 64;
constexpr int kInitialMixes = 20;

std::uint32_t LoadLittle(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

void StoreLittle(std::uint32_t word, std::uint8_t* p) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

// Runs the SHA-1 compression over the buffer in 20-byte steps: each step chains from the
// 20 bytes before it and takes the next 64 bytes (wrapping round) as its message.
void Mix(std::array<std::uint8_t, SaltGenerator::kPoolSize>& buffer) {
    const std::size_t size = buffer.size();
    for (std::size_t i = 0; i < size; i += kDigest) {
        const std::uint8_t* chain = buffer.data() + (i + size - kDigest) % size;
        SHA_CTX ctx{};
        ctx.h0 = LoadLittle(chain);
        ctx.h1 = LoadLittle(chain + 4);
        ctx.h2 = LoadLittle(chain + 8);
        ctx.h3 = LoadLittle(chain + 12);
        ctx.h4 = LoadLittle(chain + 16);
        std::uint8_t message[kMessage];
        for (std::size_t j = 0; j < kMessage; ++j) message[j] = buffer[(i + j) % size];
        SHA1_Transform(&ctx, message);
        std::uint8_t* out = buffer.data() + i;
        StoreLittle(ctx.h0, out);
        StoreLittle(ctx.h1, out + 4);
        StoreLittle(ctx.h2, out + 8);
        StoreLittle(ctx.h3, out + 12);
        StoreLittle(ctx.h4, out + 16);
    }
}

}  // namespace

std::size_t ClockEntropy(std::uint8_t* data, std::size_t count) {
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::size_t n = std::min<std::size_t>(count, 8);
    for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(ticks >> (8 * i));
    return n;
}

SaltGenerator::SaltGenerator(EntropySource source) : source_(std::move(source)) {
    Refresh();
    for (int i = 0; i < kInitialMixes; ++i) Mix(pool_);
    Refresh();
}

SaltGenerator::~SaltGenerator() {
    OPENSSL_cleanse(pool_.data(), pool_.size());
    OPENSSL_cleanse(output_.data(), output_.size());
}

void SaltGenerator::RandomBytes(std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (position_ == kPoolSize) {
            Refresh();
            position_ = 0;
        }
        data[i] = output_[position_++];
    }
}

// The old pool becomes the output; the pool is refilled from the entropy source, folded with
// the complement of the output, and both are stirred.
void SaltGenerator::Refresh() {
    output_ = pool_;
    for (std::size_t filled = 0; filled < kPoolSize;) {
        const std::size_t n = source_(pool_.data() + filled, kPoolSize - filled);
        if (n == 0 || n > kPoolSize - filled) throw std::runtime_error("entropy source failed");
        filled += n;
    }
    for (std::size_t i = 0; i < kPoolSize; ++i) {
        pool_[i] ^= static_cast<std::uint8_t>(~output_[i]);
    }
    Mix(pool_);
    Mix(output_);
}
