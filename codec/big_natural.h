#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lexorin::codec {

// A non-negative integer of any size, just enough arithmetic for exact decimal <-> binary float
// conversion: the largest numbers met are about 10^9100 (a 4096-digit mantissa with a small
// exponent), so schoolbook algorithms are fast enough.
class BigNatural {
  public:
    BigNatural() = default;
    explicit BigNatural(std::uint64_t value);

    static BigNatural power_of(std::uint32_t base, unsigned exponent);

    bool is_zero() const { return limbs_.empty(); }
    unsigned bit_length() const;
    // Bit i of the number (0 is the lowest).
    bool bit(unsigned i) const;
    // Whether any of the bits below bit `count` is set.
    bool has_bits_below(unsigned count) const;
    // The lowest 64 bits.
    std::uint64_t low64() const;

    void multiply_small(std::uint32_t factor);
    void add_small(std::uint32_t addend);
    void multiply(const BigNatural& other);
    void shift_left(unsigned bits);
    void shift_right(unsigned bits);
    // *this -= other; requires *this >= other.
    void subtract(const BigNatural& other);
    // Divides by `divisor` (not zero) when the quotient has at most `max_quotient_bits` bits,
    // leaving the remainder in *this and returning the quotient.
    BigNatural divide_small_quotient(const BigNatural& divisor, unsigned max_quotient_bits);

    std::string to_decimal() const;

    friend int compare(const BigNatural& a, const BigNatural& b);

  private:
    void trim();
    std::vector<std::uint32_t> limbs_;  // little-endian, no leading zero limbs
};

int compare(const BigNatural& a, const BigNatural& b);

}  // namespace lexorin::codec
