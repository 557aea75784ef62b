#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

// Fills up to `count` bytes of fresh entropy and returns how many it filled.
using EntropySource = std::function<std::size_t(std::uint8_t* data, std::size_t count)>;

// The platform's source: 8 bytes a call from the monotonic nanosecond clock, little-endian.
std::size_t ClockEntropy(std::uint8_t* data, std::size_t count);

// Makes the containers' salts. They only need to be unpredictable, so a pool stirred with
// the SHA-1 compression function and fed from a fast clock is enough, and it never blocks.
class SaltGenerator {
  public:
    static constexpr std::size_t kPoolSize = 260;

    // Throws when the source delivers nothing or more than it was asked for.
    explicit SaltGenerator(EntropySource source);
    ~SaltGenerator();
    SaltGenerator(const SaltGenerator&) = delete;
    SaltGenerator& operator=(const SaltGenerator&) = delete;

    void RandomBytes(std::uint8_t* data, std::size_t count);

  private:
    void Refresh();

    std::array<std::uint8_t, kPoolSize> pool_{};
    std::array<std::uint8_t, kPoolSize> output_{};
    std::size_t position_ = 0;
    EntropySource source_;
};
