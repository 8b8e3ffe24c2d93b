#include "grammar.h"
#include "interp/lexer.h"
#include "names/symbol_table.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The tokens of text, up to and including the first TK_QUIT (at most 50);
// identifiers and strings are followed by their text in angle brackets, and
// TK_LEXERR by the unknown character and the lookahead.
std::string tokens(const std::string& text) {
  SymbolTable symbols(100);
  Lexer lexer(symbols);
  FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  lexer.start_input(f);
  std::string out;
  for (int i = 0; i < 50; i++) {
    int t = lexer.next_token();
    if (!out.empty()) out += " ";
    out += std::to_string(t);
    if (t == TK_IDENT || t == TK_STRING)
      out += "<" + std::string(symbols.text_of(lexer.token_value)) + ">";
    if (t == TK_QUIT) break;
    if (t == TK_LEXERR) {
      out += " unknown=" + std::to_string(lexer.unknown_char);
      out += " lookahead=" + std::to_string(lexer.lookahead_char);
      break;
    }
  }
  fclose(f);
  return out;
}

std::string ids(std::initializer_list<int> codes) {
  std::string out;
  for (int c : codes)
    out += (out.empty() ? "" : " ") + std::to_string(c);
  return out;
}

} // namespace

TEST(Lexer, TokensOfTheLanguage) {
  struct Case {
    std::string text;
    std::string want;
  } cases[] = {
      {"x' _a 9lives a_b'2 AND", "295<x'> 295<_a> 295<9lives> 295<a_b'2> 295<AND> 259"},
      {"and", ids({TK_AND, TK_QUIT})},
      {"a.b+c", "295<a> " + ids({TK_AND}) + " 295<b> " + ids({TK_OR}) + " 295<c> 259"},
      {"=> := <> = ( -",
       ids({TK_IMPLIES, TK_ASSIGN, TK_XOR, TK_EQUIV, TK_LPAREN, TK_NOT, TK_QUIT})},
      {"--a", ids({TK_NOT, TK_NOT}) + " 295<a> 259"},
      {"a - b", "295<a> " + ids({TK_NOT}) + " 295<b> 259"},
      {"/* x ; */a", "295<a> 259"},
      {"// x ;\na", "295<a> 259"},
      {"/*/a", "295<a> 259"}, // the "*" of the opening counts
      {"/* a **/b", "295<b> 259"},
      {"/* a", "259"},
      {"exec \"\"", ids({TK_EXEC}) + " 296<>" + " 259"},
      {"\"a b;\nc\" x", "296<a b;\nc> 295<x> 259"},
      {"help syntax echo noecho quit", ids({TK_HELP, TK_SYNTAX, TK_ECHO, TK_NOECHO, TK_QUIT})},
      {"print size tree_size unsigned_size del list",
       ids({TK_PRINT, TK_SIZE, TK_TREE_SIZE, TK_UNSIGNED_SIZE, TK_DEL, TK_LIST, TK_QUIT})},
      {"not ! xor nor if then else # ) ; ,",
       ids({TK_NOT, TK_NOT, TK_XOR, TK_NOR, TK_IF, TK_THEN, TK_ELSE, TK_SHARP, TK_RPAREN, TK_SEMI,
            TK_COMMA, TK_QUIT})},
      {"exist forall let in set reed cnf dnf or",
       ids({TK_EXIST, TK_FORALL, TK_LET, TK_IN, TK_SET, TK_REED, TK_CNF, TK_DNF, TK_OR, TK_QUIT})},
      {"  \t\n ", "259"},
      {"a= >b", "295<a> " + ids({TK_EQUIV}) + " 258 unknown=62 lookahead=62"},
      {": x", "258 unknown=58 lookahead=32"},
      {":1", "258 unknown=58 lookahead=49"},
      {":satcount:sat;:x1 satcount",
       ids({TK_CMD_SATCOUNT, TK_CMD_SAT, TK_SEMI, TK_CMD_UNKNOWN}) + " 295<satcount> 259"},
      {"$", "258 unknown=36 lookahead=36"},
      {"\xc8", "258 unknown=200 lookahead=200"},
      {std::string("a\0b", 3), "295<a> 258 unknown=0 lookahead=0"},
      {std::string("\"a\0b\"", 5), "258 unknown=0 lookahead=-1"},
      {"\"open", "258 unknown=-1 lookahead=-1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tokens(c.text), c.want) << c.text;
}

TEST(Lexer, TokenCodesAreThoseOfTheLanguage) {
  EXPECT_EQ(TK_LEXERR, 258);
  EXPECT_EQ(TK_LIST, 275);
  EXPECT_EQ(TK_IN, 294);
  EXPECT_EQ(TK_STRING, 296);
}

TEST(Lexer, LongWordsAreWhole) {
  std::string word(100000, 'w');
  EXPECT_EQ(tokens(word + " " + word + "x"), "295<" + word + "> 295<" + word + "x> 259");
}
