// The computed table: one lossy, direct-mapped cache of results shared by every
// recursive operation, keyed by operation. An entry holds three key words and the
// result in sixteen bytes, four entries to a cache line; a new result simply
// replaces whatever its slot held.
//
// Entries name nodes by slot number, and a collection frees slots for reuse, so
// every collection empties the table. It is sized with the store.

#include "gbdd/gbdd_internal.h"

#include <cstdlib>
#include <cstring>

std::uint64_t cache_lookups;
std::uint64_t cache_hits;

namespace {

struct CacheEntry {
  Edge32 a; // 0: empty (no operand is the null edge)
  Edge32 b;
  Edge32 c;
  Edge32 result;
};
static_assert(sizeof(CacheEntry) == 16);

// At least one entry for every this many slots of the store: a larger table
// answers more, but beyond one entry a slot it is mostly memory.
constexpr std::uint64_t SLOTS_PER_ENTRY = 1;

CacheEntry* entries = nullptr;
std::uint64_t mask = 0; // size - 1; the size is a power of two

std::uint64_t slot_of(Edge a, Edge b, Edge c) {
  std::uint64_t h =
      (a * 0x9E3779B97F4A7C15ull) ^ (b * 0xC2B2AE3D27D4EB4Full) ^ (c * 0x165667B19E3779F9ull);
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  return (h ^ (h >> 32)) & mask;
}

} // namespace

Edge cache_get(Edge a, Edge b, Edge c) {
  cache_lookups++;
  const CacheEntry& e = entries[slot_of(a, b, c)];
  if (e.a != a || e.b != b || e.c != c) return 0;
  cache_hits++;
  return e.result;
}

void cache_put(Edge a, Edge b, Edge c, Edge r) {
  entries[slot_of(a, b, c)] = CacheEntry{static_cast<Edge32>(a), static_cast<Edge32>(b),
                                         static_cast<Edge32>(c), static_cast<Edge32>(r)};
}

void cache_clear() {
  std::memset(static_cast<void*>(entries), 0, (mask + 1) * sizeof(CacheEntry));
}

void cache_resize(std::uint64_t slots) {
  // The largest power of two within the store's share: one entry for every one
  // to two slots as the store grows.
  std::uint64_t size = 1024;
  while (2 * size * SLOTS_PER_ENTRY <= slots)
    size *= 2;
  if (entries != nullptr && size == mask + 1) {
    cache_clear();
    return;
  }
  auto* fresh = static_cast<CacheEntry*>(map_table(size * sizeof(CacheEntry)));
  unmap_table(entries, cache_bytes());
  entries = fresh;
  mask = size - 1;
}

std::uint64_t cache_entries() {
  return entries == nullptr ? 0 : mask + 1;
}

std::uint64_t cache_bytes() {
  return cache_entries() * sizeof(CacheEntry);
}
