// The computed table: a direct-mapped cache of results of the Boolean cores,
// consulted when a node's own memo misses. A node keeps one binary result per
// polarity, so a node met with many different second operands (the usual case
// when two large diagrams are combined) loses its entry again and again, and
// the operation would be recomputed once per path. The table bounds that cost.
//
// Entries name nodes by address, so every collection empties the table; it is
// sized with the unique table.

#include "gbdd/gbdd_internal.h"

#include <cstdlib>
#include <new>

namespace {

struct CacheEntry {
  Edge a;
  Edge b;
  Edge c; // the third operand of ite, or the code of a binary operation
  Edge result;
};

CacheEntry* entries = nullptr;
std::size_t mask = 0; // size - 1; the size is a power of two

std::size_t slot_of(Edge a, Edge b, Edge c) {
  std::uint64_t h = a * 0x9E3779B97F4A7C15ull;
  h ^= b * 0xC2B2AE3D27D4EB4Full;
  h ^= c * 0x165667B19E3779F9ull;
  return static_cast<std::size_t>(h ^ (h >> 29)) & mask;
}

} // namespace

Edge cache_get(Edge a, Edge b, Edge c) {
  if (entries == nullptr) return 0;
  const CacheEntry& e = entries[slot_of(a, b, c)];
  return e.a == a && e.b == b && e.c == c ? e.result : 0;
}

void cache_put(Edge a, Edge b, Edge c, Edge r) {
  if (entries == nullptr) return;
  entries[slot_of(a, b, c)] = CacheEntry{a, b, c, r};
}

void cache_clear() {
  if (entries == nullptr) return;
  for (std::size_t i = 0; i <= mask; i++)
    entries[i] = CacheEntry{0, 0, 0, 0};
}

void cache_resize(long nodes) {
  std::size_t size = 1024;
  while (size < static_cast<std::size_t>(nodes))
    size *= 2;
  if (entries != nullptr && size == mask + 1) return;
  auto* fresh = new (std::nothrow) CacheEntry[size]();
  if (fresh == nullptr) return; // keep the smaller table
  delete[] entries;
  entries = fresh;
  mask = size - 1;
}
