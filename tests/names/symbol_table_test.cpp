#include "names/symbol_table.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

TEST(SymbolTable, SameTextSameNumberInOrderOfFirstSight) {
  SymbolTable t(10000);
  EXPECT_EQ(t.intern("%s", "a"), 1);
  EXPECT_EQ(t.intern("%s", "b"), 2);
  EXPECT_EQ(t.intern("%s", "a"), 1);
  EXPECT_EQ(t.count, 2);
  int n = 0;
  EXPECT_EQ(t.intern_new(&n, "%s", "c"), 0);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(t.intern_new(&n, "%s", "c"), 1);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(t.lookup("%s", "zz"), 0);
  EXPECT_FALSE(t.lookup(&n, "%s", "zz"));
  EXPECT_TRUE(t.lookup(&n, "%s", "b"));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(t.count, 3);
  EXPECT_EQ(t.intern("%s", ""), 4); // the empty text is a key of its own
  EXPECT_EQ(t.intern("%s", "50%"), 5);
  EXPECT_STREQ(t.text_of(5), "50%");
  EXPECT_EQ(t.intern("%s%d", "x", 7), t.intern("%s", "x7")); // keys are formatted
}

TEST(SymbolTable, HashBucketsOfKnownTexts) {
  struct Case {
    const char* text;
    int bucket;
  } cases[] = {{"abc", 291}, {"0", 0}, {"false", 2198}, {"true", 1858}, {"", 0}};
  for (const Case& c : cases) {
    SymbolTable t(10);
    t.intern("%s", c.text);
    EXPECT_NE(t.hash.buckets[c.bucket], nullptr) << c.text;
    EXPECT_EQ(t.hash.occupied, 1) << c.text;
  }
}

TEST(SymbolTable, SegmentsAndBlocksHoldAnyNumberOfTexts) {
  SymbolTable t(10000);
  for (int i = 1; i <= 20001; i++)
    ASSERT_EQ(t.intern("n%d", i), i);
  EXPECT_STREQ(t.text_of(10001), "n10001");
  EXPECT_STREQ(t.text_of(20001), "n20001");
  ASSERT_NE(t.first_segment.next, nullptr);
  EXPECT_STREQ(t.first_segment.next->texts[0], "n10001");
  t.rewind();
  int seen = 0;
  while (const char* s = t.next_text())
    EXPECT_EQ(std::string(s), "n" + std::to_string(++seen));
  EXPECT_EQ(seen, 20001);
}

TEST(SymbolTable, TextThatExactlyFillsABlockLeavesNoFreeBytes) {
  SymbolTable t(10);
  std::string first(100, 'a');
  t.intern("%s", first.c_str());
  std::string rest(TEXT_BLOCK_BYTES - 101 - 1, 'b');
  t.intern("%s", rest.c_str());
  EXPECT_EQ(t.hash.free_bytes, 0);
  TextBlock* full = t.hash.blocks;
  t.intern("%s", "c");
  EXPECT_NE(t.hash.blocks, full);
  EXPECT_EQ(t.hash.blocks->previous, full);
  EXPECT_EQ(t.hash.free_bytes, TEXT_BLOCK_BYTES - 2);
}

TEST(SymbolTable, LongTextsAreNeverCutNorConfused) {
  SymbolTable t(10);
  std::string a(100000, 'x');
  std::string b = a + "y";
  int na = t.intern("%s", a.c_str());
  int nb = t.intern("%s", b.c_str());
  EXPECT_NE(na, nb);
  EXPECT_EQ(t.text_of(na), a);
  EXPECT_EQ(t.text_of(nb), b);
  EXPECT_EQ(t.intern("%s", a.c_str()), na);
  EXPECT_EQ(t.intern("%s", "after"), 3); // the current block is still usable
}

TEST(SymbolTable, DumpAndStatistics) {
  SymbolTable t(10);
  t.intern("%s", "a");
  t.intern("%s", "b");
  char* buf = nullptr;
  size_t len = 0;
  FILE* out = open_memstream(&buf, &len);
  t.print_stats(out);
  fclose(out);
  EXPECT_STREQ(buf,
               "hash size  :  5041\noccupied   :     2\ncoll max   :     0\nnb strings :     2\n");
  free(buf);
  testing::internal::CaptureStdout();
  t.dump_symbols();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "symbol[  1]= \"a\"\nsymbol[  2]= \"b\"\n");
}
