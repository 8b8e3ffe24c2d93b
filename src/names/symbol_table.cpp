#include "names/symbol_table.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The formatted key, of any length: a key is never cut, so two different
// texts can never meet as one symbol.
std::string format_key(const char* format, va_list args) {
  char small[1024];
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (n < (int)sizeof small) return std::string(small, n);
  std::string key(n, '\0');
  vsnprintf(key.data(), n + 1, format, args);
  return key;
}

} // namespace

StringHash::StringHash()
    : entry_count(0), occupied(0),
      max_chain(0), newest(nullptr), blocks(nullptr), free_bytes(TEXT_BLOCK_BYTES), write_pos(nullptr) {
  blocks = static_cast<TextBlock*>(::operator new(sizeof(TextBlock*) + TEXT_BLOCK_BYTES));
  blocks->previous = nullptr;
  write_pos = blocks->text;
}

StringHash::~StringHash() {
  // A session interns a few dozen texts: walking them beats walking the buckets.
  while (newest) {
    HashEntry* before = newest->made_before;
    delete newest;
    newest = before;
  }
  while (blocks) {
    TextBlock* previous = blocks->previous;
    ::operator delete(blocks);
    blocks = previous;
  }
}

// Only the low four bits of each byte count; the first word takes seven bytes,
// every later word eight.
unsigned StringHash::bucket_of(const char* text) const {
  unsigned w = 0, s = 0;
  int k = 8;
  for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
    if (--k != 0) {
      w = (w << 4) | (*p & 15u);
    } else {
      k = 8;
      s += w;
      w = *p & 15u;
    }
  }
  return (s + w) % (unsigned)bucket_count;
}

const char* StringHash::copy_text(const char* text) {
  size_t need = std::strlen(text) + 1;
  if (need > (size_t)TEXT_BLOCK_BYTES) {
    // A text larger than a whole block gets a block of its own, slipped in
    // behind the newest one so that the newest keeps its free space.
    auto* big = static_cast<TextBlock*>(::operator new(sizeof(TextBlock*) + need));
    std::memcpy(big->text, text, need);
    big->previous = blocks->previous;
    blocks->previous = big;
    return big->text;
  }
  free_bytes -= (int)need;
  if (free_bytes < 0) {
    auto* block = static_cast<TextBlock*>(::operator new(sizeof(TextBlock*) + TEXT_BLOCK_BYTES));
    block->previous = blocks;
    blocks = block;
    write_pos = block->text;
    free_bytes = TEXT_BLOCK_BYTES - (int)need;
  }
  char* copy = write_pos;
  std::memcpy(copy, text, need);
  write_pos += need;
  return copy;
}

HashEntry* StringHash::find(const char* text) const {
  for (HashEntry* e = buckets[bucket_of(text)]; e; e = e->next)
    if (std::strcmp(e->text, text) == 0) return e;
  return nullptr;
}

HashEntry* StringHash::find_or_add(const char* text, bool* added) {
  unsigned b = bucket_of(text);
  if (!buckets[b]) occupied++;
  int k = 0;
  for (HashEntry* e = buckets[b]; e; e = e->next, k++) {
    if (std::strcmp(e->text, text) == 0) {
      *added = false;
      return e;
    }
  }
  if (k > max_chain) max_chain = k + 1;
  const char* copy = copy_text(text);
  entry_count++;
  buckets[b] = new HashEntry{copy, entry_count, buckets[b], newest};
  newest = buckets[b];
  *added = true;
  return buckets[b];
}

void StringHash::print_stats(FILE* out) const {
  fprintf(out, "hash size  : %5d\n", bucket_count);
  fprintf(out, "occupied   : %5d\n", occupied);
  fprintf(out, "coll max   : %5d\n", max_chain);
  fprintf(out, "nb strings : %5d\n", entry_count);
}

// Slots are written as texts are added and read only below the count, so a
// segment is not cleared: most sessions touch one page of their first.
SymbolSegment::SymbolSegment(int size_)
    : texts(new const char*[size_]), size(size_), next(nullptr) {}

SymbolSegment::~SymbolSegment() {
  delete[] texts;
  delete next;
}

SymbolTable::SymbolTable(int segment_size_)
    : count(0), cursor(0), segment_size(segment_size_), first_segment(segment_size_) {}

SymbolTable::~SymbolTable() = default;

const char** SymbolTable::slot(int i) const {
  auto* segment = const_cast<SymbolSegment*>(&first_segment);
  while (i >= segment->size) {
    // Each segment doubles the last: a small table costs little to make, a
    // large one is reached in a few steps.
    if (!segment->next) segment->next = new SymbolSegment(segment->size * 2);
    i -= segment->size;
    segment = segment->next;
  }
  return &segment->texts[i];
}

int SymbolTable::add(const char* key, bool* was_present) {
  bool added = false;
  HashEntry* entry = hash.find_or_add(key, &added);
  *was_present = !added;
  if (entry->number > count) {
    *slot(count) = entry->text;
    count++;
  }
  return entry->number;
}

int SymbolTable::vintern(const char* format, va_list args) {
  std::string key = format_key(format, args);
  bool present;
  return add(key.c_str(), &present);
}

int SymbolTable::intern(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n;
  if (std::strcmp(format, "%s") == 0) {
    // A finished text, the common case (every name the lexer reads): no copy.
    bool present;
    n = add(va_arg(args, const char*), &present);
  } else {
    n = vintern(format, args);
  }
  va_end(args);
  return n;
}

int SymbolTable::intern_new(int* number, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string key = format_key(format, args);
  va_end(args);
  bool present;
  *number = add(key.c_str(), &present);
  return present ? 1 : 0;
}

int SymbolTable::lookup(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string key = format_key(format, args);
  va_end(args);
  HashEntry* e = hash.find(key.c_str());
  return e ? e->number : 0;
}

bool SymbolTable::lookup(int* number, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string key = format_key(format, args);
  va_end(args);
  HashEntry* e = hash.find(key.c_str());
  *number = e ? e->number : 0;
  return e != nullptr;
}

const char* SymbolTable::text_of(int number) const {
  if (number < 1 || number > count) return nullptr;
  return *slot(number - 1);
}

const char* SymbolTable::next_text() {
  if (cursor >= count) return nullptr;
  return text_of(++cursor);
}

void SymbolTable::dump_symbols() const {
  for (int n = 1; n <= count; n++)
    printf("symbol[%3d]= \"%s\"\n", n, text_of(n));
}
