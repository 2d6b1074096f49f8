#include "codec/big_natural.h"

#include <algorithm>

namespace lexorin::codec {

BigNatural::BigNatural(std::uint64_t value) {
    while (value) {
        limbs_.push_back(static_cast<std::uint32_t>(value));
        value >>= 32;
    }
}

BigNatural BigNatural::power_of(std::uint32_t base, unsigned exponent) {
    BigNatural result(1);
    BigNatural square(base);
    // Square-and-multiply keeps the cost near one full-size multiplication.
    while (exponent) {
        if (exponent & 1) result.multiply(square);
        exponent >>= 1;
        if (exponent) {
            BigNatural copy = square;
            square.multiply(copy);
        }
    }
    return result;
}

void BigNatural::trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
}

unsigned BigNatural::bit_length() const {
    if (limbs_.empty()) return 0;
    unsigned bits = static_cast<unsigned>(limbs_.size() - 1) * 32;
    std::uint32_t top = limbs_.back();
    while (top) {
        ++bits;
        top >>= 1;
    }
    return bits;
}

bool BigNatural::bit(unsigned i) const {
    std::size_t limb = i / 32;
    return limb < limbs_.size() && ((limbs_[limb] >> (i % 32)) & 1);
}

bool BigNatural::has_bits_below(unsigned count) const {
    for (std::size_t i = 0; i < limbs_.size() && i * 32 < count; ++i) {
        unsigned bits = std::min<unsigned>(32, count - static_cast<unsigned>(i * 32));
        std::uint32_t mask = bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        if (limbs_[i] & mask) return true;
    }
    return false;
}

std::uint64_t BigNatural::low64() const {
    std::uint64_t value = 0;
    if (!limbs_.empty()) value = limbs_[0];
    if (limbs_.size() > 1) value |= static_cast<std::uint64_t>(limbs_[1]) << 32;
    return value;
}

void BigNatural::multiply_small(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (auto& limb : limbs_) {
        std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
        limb = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry) limbs_.push_back(static_cast<std::uint32_t>(carry));
    trim();
}

void BigNatural::add_small(std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::size_t i = 0; carry && i < limbs_.size(); ++i) {
        std::uint64_t sum = static_cast<std::uint64_t>(limbs_[i]) + carry;
        limbs_[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    if (carry) limbs_.push_back(static_cast<std::uint32_t>(carry));
}

void BigNatural::multiply(const BigNatural& other) {
    if (is_zero() || other.is_zero()) {
        limbs_.clear();
        return;
    }
    std::vector<std::uint32_t> result(limbs_.size() + other.limbs_.size(), 0);
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < other.limbs_.size(); ++j) {
            std::uint64_t cell =
                static_cast<std::uint64_t>(limbs_[i]) * other.limbs_[j] + result[i + j] + carry;
            result[i + j] = static_cast<std::uint32_t>(cell);
            carry = cell >> 32;
        }
        result[i + other.limbs_.size()] = static_cast<std::uint32_t>(carry);
    }
    limbs_ = std::move(result);
    trim();
}

void BigNatural::shift_left(unsigned bits) {
    if (is_zero()) return;
    unsigned whole = bits / 32, part = bits % 32;
    if (part) {
        std::uint32_t carry = 0;
        for (auto& limb : limbs_) {
            std::uint32_t next = limb >> (32 - part);
            limb = (limb << part) | carry;
            carry = next;
        }
        if (carry) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), whole, 0);
}

void BigNatural::shift_right(unsigned bits) {
    unsigned whole = bits / 32, part = bits % 32;
    if (whole >= limbs_.size()) {
        limbs_.clear();
        return;
    }
    limbs_.erase(limbs_.begin(), limbs_.begin() + whole);
    if (part) {
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] << (32 - part) : 0;
            limbs_[i] = (limbs_[i] >> part) | high;
        }
    }
    trim();
}

void BigNatural::subtract(const BigNatural& other) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        std::int64_t diff = static_cast<std::int64_t>(limbs_[i]) - borrow -
                            (i < other.limbs_.size() ? other.limbs_[i] : 0);
        borrow = diff < 0 ? 1 : 0;
        limbs_[i] = static_cast<std::uint32_t>(diff + (borrow << 32));
    }
    trim();
}

BigNatural BigNatural::divide_small_quotient(const BigNatural& divisor,
                                             unsigned max_quotient_bits) {
    BigNatural quotient;
    if (max_quotient_bits == 0) return quotient;
    BigNatural shifted = divisor;
    shifted.shift_left(max_quotient_bits - 1);
    for (unsigned i = max_quotient_bits; i-- > 0;) {
        if (compare(*this, shifted) >= 0) {
            subtract(shifted);
            if (quotient.limbs_.size() <= i / 32) quotient.limbs_.resize(i / 32 + 1, 0);
            quotient.limbs_[i / 32] |= 1u << (i % 32);
        }
        shifted.shift_right(1);
    }
    quotient.trim();
    return quotient;
}

std::string BigNatural::to_decimal() const {
    if (is_zero()) return "0";
    std::vector<std::uint32_t> work = limbs_;
    std::vector<std::uint32_t> chunks;  // base 10^9, lowest first
    while (!work.empty()) {
        std::uint64_t rest = 0;
        for (std::size_t i = work.size(); i-- > 0;) {
            std::uint64_t cur = (rest << 32) | work[i];
            work[i] = static_cast<std::uint32_t>(cur / 1000000000u);
            rest = cur % 1000000000u;
        }
        chunks.push_back(static_cast<std::uint32_t>(rest));
        while (!work.empty() && work.back() == 0) work.pop_back();
    }
    std::string text = std::to_string(chunks.back());
    for (std::size_t i = chunks.size() - 1; i-- > 0;) {
        std::string part = std::to_string(chunks[i]);
        text.append(9 - part.size(), '0');
        text += part;
    }
    return text;
}

int compare(const BigNatural& a, const BigNatural& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (std::size_t i = a.limbs_.size(); i-- > 0;)
        if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    return 0;
}

}  // namespace lexorin::codec
