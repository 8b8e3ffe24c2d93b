#pragma once
// The symbol store: interns identifier texts and string literals into dense,
// 1-based symbol numbers, in the order texts are first seen. Texts are never
// removed; a symbol number is turned back into its text by direct indexing.

#include <cstdarg>
#include <cstdio>

struct HashEntry {
  const char* text;
  int number;
  HashEntry* next;
  HashEntry* made_before; // every entry, newest first, so that none is looked for
};

// Texts are packed one after the other into blocks of this size; the first word
// of a block links to the block made before it.
constexpr int TEXT_BLOCK_SIZE = 16384;
constexpr int TEXT_BLOCK_BYTES = 16380;

struct TextBlock {
  TextBlock* previous;
  char text[1]; // TEXT_BLOCK_BYTES bytes, or more for a text that outgrows a block
};

class StringHash {
public:
  StringHash();
  ~StringHash();
  StringHash(const StringHash&) = delete;
  StringHash& operator=(const StringHash&) = delete;

  // The entry of the text, added (with the next number) when it is new.
  HashEntry* find_or_add(const char* text, bool* added);
  HashEntry* find(const char* text) const;
  void print_stats(FILE* out) const;

  // Held in the object itself: a store made per session then costs no
  // allocation of its own for them.
  static constexpr int BUCKET_COUNT = 5041;
  HashEntry* buckets[BUCKET_COUNT] = {};
  int bucket_count = BUCKET_COUNT;
  int entry_count;
  int occupied;
  int max_chain;
  HashEntry* newest;
  TextBlock* blocks;
  int free_bytes;
  char* write_pos;

private:
  unsigned bucket_of(const char* text) const;
  const char* copy_text(const char* text);
};

struct SymbolSegment {
  explicit SymbolSegment(int size);
  ~SymbolSegment();
  const char** texts;
  int size;
  SymbolSegment* next;
};

class SymbolTable {
public:
  explicit SymbolTable(int segment_size);
  ~SymbolTable();
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;

  // Every entry point that takes a text takes a printf format; callers holding
  // a finished text pass it through "%s".
  int intern(const char* format, ...) __attribute__((format(printf, 2, 3)));
  int vintern(const char* format, va_list args);
  int intern_new(int* number, const char* format, ...) __attribute__((format(printf, 3, 4)));
  int lookup(const char* format, ...) __attribute__((format(printf, 2, 3)));
  bool lookup(int* number, const char* format, ...) __attribute__((format(printf, 3, 4)));
  const char* text_of(int number) const;
  void rewind() { cursor = 0; }
  const char* next_text();
  void dump_symbols() const;
  void print_stats(FILE* out) const { hash.print_stats(out); }

  int count;
  int cursor;
  StringHash hash;
  int segment_size;
  SymbolSegment first_segment;

private:
  const char** slot(int i) const;
  int add(const char* key, bool* was_present);
};
