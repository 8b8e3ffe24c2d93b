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

CacheEntry* cache_table = nullptr;
std::uint64_t cache_mask = 0;

namespace {

// At least one entry for every this many slots of the store. Most results are
// asked for again soon or never: a table twice this size answers barely more
// often, and each operation's misses then spread over more memory.
constexpr std::uint64_t SLOTS_PER_ENTRY = 2;

} // namespace

void cache_clear() {
  std::memset(static_cast<void*>(cache_table), 0, (cache_mask + 1) * sizeof(CacheEntry));
}

void cache_resize(std::uint64_t slots) {
  // The largest power of two within the store's share: one entry for every two
  // to four slots as the store grows.
  std::uint64_t size = 1024;
  while (2 * size * SLOTS_PER_ENTRY <= slots)
    size *= 2;
  if (cache_table != nullptr && size == cache_mask + 1) {
    cache_clear();
    return;
  }
  auto* fresh = static_cast<CacheEntry*>(map_table(size * sizeof(CacheEntry)));
  unmap_table(cache_table, cache_bytes());
  cache_table = fresh;
  cache_mask = size - 1;
}

std::uint64_t cache_entries() {
  return cache_table == nullptr ? 0 : cache_mask + 1;
}

std::uint64_t cache_bytes() {
  return cache_entries() * sizeof(CacheEntry);
}
