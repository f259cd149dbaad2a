// Public-domain algorithm by Bob Jenkins (lookup3.c, 2006), written here in its byte-wise form so
// that the result does not depend on alignment or on the platform's byte order.
#include "lookup3.h"

namespace income_statement {
namespace {

constexpr uint32_t Rot(uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

// clang-format off
void Mix(uint32_t& a, uint32_t& b, uint32_t& c) {
  a -= c; a ^= Rot(c, 4);  c += b;
  b -= a; b ^= Rot(a, 6);  a += c;
  c -= b; c ^= Rot(b, 8);  b += a;
  a -= c; a ^= Rot(c, 16); c += b;
  b -= a; b ^= Rot(a, 19); a += c;
  c -= b; c ^= Rot(b, 4);  b += a;
}

void Final(uint32_t& a, uint32_t& b, uint32_t& c) {
  c ^= b; c -= Rot(b, 14);
  a ^= c; a -= Rot(c, 11);
  b ^= a; b -= Rot(a, 25);
  c ^= b; c -= Rot(b, 16);
  a ^= c; a -= Rot(c, 4);
  b ^= a; b -= Rot(a, 14);
  c ^= b; c -= Rot(b, 24);
}

// clang-format on

uint32_t Word(const uint8_t* k, size_t n) {
  uint32_t word = 0;
  for (size_t i = 0; i < n; ++i) word |= static_cast<uint32_t>(k[i]) << (8 * i);
  return word;
}

}  // namespace

uint32_t hashlittle(const void* key, size_t length, uint32_t initval) {
  const auto* k = static_cast<const uint8_t*>(key);
  uint32_t a = 0xdeadbeef + static_cast<uint32_t>(length) + initval;
  uint32_t b = a;
  uint32_t c = a;
  while (length > 12) {
    a += Word(k, 4);
    b += Word(k + 4, 4);
    c += Word(k + 8, 4);
    Mix(a, b, c);
    length -= 12;
    k += 12;
  }
  if (length == 0) return c;
  // The last block: zero-padded little-endian words, as the byte-wise switch adds them.
  a += Word(k, length < 4 ? length : 4);
  if (length > 4) b += Word(k + 4, length < 8 ? length - 4 : 4);
  if (length > 8) c += Word(k + 8, length - 8);
  Final(a, b, c);
  return c;
}

}  // namespace income_statement
