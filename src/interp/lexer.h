#pragma once
// The hand-written lexer: one character of lookahead in lookahead_char, which
// start_input primes at the start of every command. Identifier and string
// texts are interned in the symbol store it is given. It prints nothing: an
// unknown character is reported to the caller through unknown_char.

#include <cstdio>

class SymbolTable;

// Whether text is a word of the language (a keyword or an operator spelling).
bool is_keyword(const char* text);

class Lexer {
public:
  // The lexer interns into the symbol store, which outlives it.
  explicit Lexer(SymbolTable& symbols);
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  // Points the lexer at f and reads the first character of the next command;
  // false at end of input.
  bool start_input(FILE* f);
  // The next token code; sets token_value for identifiers, strings and the
  // word of an unknown extension command, and unknown_char for TK_LEXERR.
  int next_token();
  // The next byte of the input (0 to 255), or EOF.
  int read_char();
  // Skips the raw characters up to the next ";", so that a ";" inside a
  // comment or a string ends the skip too; false when the input ends first.
  bool skip_to_semicolon();
  // Standard input has ended outside the lexer (the user ended it while the
  // program asked a question): from now on it reads as ended.
  void mark_stdin_ended() { stdin_ended = true; }

  int lookahead_char = EOF;
  int token_value = 0; // symbol number of the last identifier, string or command word
  // After TK_LEXERR: the byte no token starts with (a NUL inside a string
  // counts), or EOF for a string still open at the end of the input.
  int unknown_char = EOF;

private:
  void advance();
  // The word after a ":" as an extension command; token_value is its symbol.
  int command_word();
  int unknown(int c);

  SymbolTable& symbols;
  FILE* input = nullptr;
  bool stdin_ended = false;
};
