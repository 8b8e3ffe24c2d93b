#include "interp/lexer.h"

#include "grammar.h"
#include "names/symbol_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct TableRow {
  const char* text;
  int token;
};

// Searched from the top; the first exact match wins.
const TableRow keyword_table[] = {
    {"help", TK_HELP},
    {"syntax", TK_SYNTAX},
    {"echo", TK_ECHO},
    {"noecho", TK_NOECHO},
    {"quit", TK_QUIT},
    {"exec", TK_EXEC},
    {"print", TK_PRINT},
    {"size", TK_SIZE},
    {"tree_size", TK_TREE_SIZE},
    {"unsigned_size", TK_UNSIGNED_SIZE},
    {"del", TK_DEL},
    {"list", TK_LIST},
    {"not", TK_NOT},
    {"-", TK_NOT},
    {"!", TK_NOT},
    {"and", TK_AND},
    {".", TK_AND},
    {"or", TK_OR},
    {"xor", TK_XOR},
    {"nor", TK_NOR},
    {"+", TK_OR},
    {"if", TK_IF},
    {"then", TK_THEN},
    {"else", TK_ELSE},
    {"=", TK_EQUIV},
    {"#", TK_SHARP},
    {"(", TK_LPAREN},
    {")", TK_RPAREN},
    {";", TK_SEMI},
    {",", TK_COMMA},
    {"exist", TK_EXIST},
    {"forall", TK_FORALL},
    {"let", TK_LET},
    {"in", TK_IN},
    {"set", TK_SET},
    {"reed", TK_REED},
    {"cnf", TK_CNF},
    {"dnf", TK_DNF},
    {nullptr, 0},
};

// The extension commands: ":" directly followed by one of these words. The
// words mean nothing elsewhere.
const TableRow command_table[] = {
    {"help", TK_CMD_HELP},
    {"satcount", TK_CMD_SATCOUNT},
    {"sat", TK_CMD_SAT},
    {"isop", TK_CMD_ISOP},
    {"dot", TK_CMD_DOT},
    {"order", TK_CMD_ORDER},
    {"stats", TK_CMD_STATS},
    {"time", TK_CMD_TIME},
    {"circuit", TK_CMD_CIRCUIT},
    {"cnf", TK_CMD_CNF},
    {nullptr, 0},
};

const TableRow operator_table[] = {
    {"=>", TK_IMPLIES},
    {":=", TK_ASSIGN},
    {"<>", TK_XOR},
    {nullptr, 0},
};

// The rows of a table by the first character of their text, in table order.
// Most words are names, not keywords: their first character leaves at most a
// few rows to compare, usually none.
class FirstCharIndex {
public:
  explicit FirstCharIndex(const TableRow* table) {
    for (const TableRow* row = table; row->text; row++) {
      auto& list = rows[(unsigned char)row->text[0]];
      if (list.count == MAX_ROWS) std::abort(); // a table that outgrew its index
      list.row[list.count++] = row;
    }
  }
  // The token of the text, or 0; the first exact match in table order wins.
  int find(const char* text) const {
    const auto& list = rows[(unsigned char)text[0]];
    for (int i = 0; i < list.count; i++)
      if (std::strcmp(list.row[i]->text, text) == 0) return list.row[i]->token;
    return 0;
  }

private:
  static constexpr int MAX_ROWS = 8;
  struct Rows {
    const TableRow* row[MAX_ROWS];
    int count = 0;
  };
  Rows rows[256];
};

const FirstCharIndex keyword_index(keyword_table);
const FirstCharIndex command_index(command_table);
const FirstCharIndex operator_index(operator_table);


// Letters are those of the default locale: ASCII only, whatever the
// environment says, so a byte above 127 is never taken for a letter.
bool is_letter(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool is_word_char(int c) {
  return is_letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '\'';
}
bool is_space(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

bool is_keyword(const char* text) {
  return keyword_index.find(text) != 0;
}

Lexer::Lexer(SymbolTable& symbols_) : symbols(symbols_) {}

bool Lexer::start_input(FILE* f) {
  input = f;
  if (lookahead_char < 0 || is_space(lookahead_char) || lookahead_char == ';') {
    do {
      lookahead_char = read_char();
    } while (lookahead_char == INTERRUPTED); // a fresh prompt
  }
  return lookahead_char != EOF;
}

int Lexer::read_char() {
  if (!input || (input == stdin && stdin_ended)) return EOF;
  // Only the interpreter's thread reads its inputs: no stream lock per character.
  int c = input == stdin && line_source ? line_source->read_char() : getc_unlocked(input);
  if (c < 0) return c;
  if (c == '\n') lines_read++;
  last_char = c;
  return c;
}

void Lexer::discard_line() {
  lookahead_char = EOF;
  if (input == stdin && line_source) line_source->discard_line();
}

Lexer::InputState Lexer::suspend() {
  InputState state{input, lookahead_char, lines_read, last_char};
  lookahead_char = EOF;
  lines_read = 0;
  last_char = EOF;
  return state;
}

void Lexer::resume(const InputState& state) {
  input = state.input;
  lookahead_char = state.lookahead_char;
  lines_read = state.lines_read;
  last_char = state.last_char;
}

// The line of the end of the input: that of its last character, so that a
// final newline does not count.
int Lexer::end_line() const {
  return last_char == '\n' || last_char == EOF ? std::max(lines_read, 1) : lines_read + 1;
}

void Lexer::advance() {
  lookahead_char = read_char();
}

int Lexer::command_word() {
  std::string word;
  while (is_word_char(lookahead_char)) {
    word.push_back((char)lookahead_char);
    advance();
  }
  token_text = ":" + word;
  token_value = symbols.intern("%s", word.c_str());
  if (int token = command_index.find(word.c_str())) return token;
  return TK_CMD_UNKNOWN;
}

int Lexer::unknown(int c) {
  unknown_char = c;
  return TK_LEXERR;
}

bool Lexer::skip_to_semicolon() {
  if (lookahead_char >= 0) {
    do {
      lookahead_char = read_char();
    } while (lookahead_char != ';' && lookahead_char >= 0);
  }
  return lookahead_char == ';';
}

int Lexer::next_token() {
  last_token = scan();
  return last_token;
}

int Lexer::scan() {
  for (;;) {
    while (is_space(lookahead_char))
      advance();
    if (lookahead_char == INTERRUPTED) return unknown(INTERRUPTED);
    if (lookahead_char == EOF) {
      token_text = "end of input";
      token_line = end_line();
      return TK_QUIT;
    }
    int c = lookahead_char;
    token_line = lines_read + 1;

    if (is_word_char(c)) {
      // Read straight into the token's text, whose room stays from token to token.
      token_text.clear();
      while (is_word_char(lookahead_char)) {
        token_text.push_back((char)lookahead_char);
        advance();
      }
      if (int token = keyword_index.find(token_text.c_str())) return token;
      token_value = symbols.intern("%s", token_text.c_str());
      return TK_IDENT;
    }
    token_text.assign(1, (char)c);

    if (c != 0 && std::strchr(".;,!)+#", c)) {
      advance();
      char text[2] = {(char)c, 0};
      return keyword_index.find(text);
    }

    if (c != 0 && std::strchr("(=:-</", c)) {
      advance();
      int c2 = lookahead_char;
      if (c == ':' && is_letter(c2)) return command_word();
      if (c == '/' && c2 == '*') {
        // The "*" of the opening counts: "/*/" is a whole comment.
        int previous = c2;
        for (;;) {
          advance();
          if (lookahead_char < 0) break;
          if (lookahead_char == '/' && previous == '*') {
            advance();
            break;
          }
          previous = lookahead_char;
        }
        continue;
      }
      if (c == '/' && c2 == '/') {
        while (lookahead_char >= 0 && lookahead_char != '\n')
          advance();
        if (lookahead_char == '\n') advance();
        continue;
      }
      char pair[3] = {(char)c, (char)(c2 < 0 ? 0 : c2), 0};
      if (c2 > 0) {
        if (int token = operator_index.find(pair)) {
          token_text = pair;
          advance();
          return token;
        }
      }
      char single[2] = {(char)c, 0};
      if (int token = keyword_index.find(single)) return token;
      return unknown(c);
    }

    if (c == '"') {
      std::string text;
      bool has_nul = false;
      for (;;) {
        advance();
        if (lookahead_char < 0) return unknown(lookahead_char);
        if (lookahead_char == '"') break;
        if (lookahead_char == 0) has_nul = true;
        text.push_back((char)lookahead_char);
      }
      advance();
      // A NUL byte would cut the text short and make two names one.
      if (has_nul) return unknown(0);
      token_value = symbols.intern("%s", text.c_str());
      token_text = "\"" + text + "\"";
      return TK_STRING;
    }

    return unknown(c);
  }
}
