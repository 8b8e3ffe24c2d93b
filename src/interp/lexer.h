#pragma once
// The hand-written lexer: one character of lookahead in lookahead_char, which
// start_input primes at the start of every command. Identifier and string
// texts are interned in the symbol store it is given. It prints nothing: an
// unknown character is reported to the caller through unknown_char.

#include <cstdio>
#include <string>

class SymbolTable;

class Lexer {
public:
  // The lexer interns into the symbol store, which outlives it.
  explicit Lexer(SymbolTable& symbols);
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  // Points the lexer at f for the next command, whose first character is the
  // one behind the last command's last token unless that is white space, ";"
  // or the end of input, in which case a fresh one is read; false at end of
  // input.
  bool start_input(FILE* f);
  // The next token code; sets token_value for identifiers and strings, and
  // unknown_char for TK_LEXERR. Records the token in last_token, token_text
  // and token_line, for error reports.
  int next_token();
  // The next byte of the input (0 to 255), or EOF.
  int read_char();
  // Skips the raw characters up to the next ";", so that a ";" inside a
  // comment or a string ends the skip too; false when the input ends first.
  bool skip_to_semicolon();
  // Standard input has ended outside the lexer (the user ended it while the
  // program asked a question): from now on it reads as ended.
  void mark_stdin_ended() { stdin_ended = true; }
  // Forgets the rest of the line being read: the next command starts on a
  // fresh line.
  void discard_line();

  // What the lexer holds of one input. exec keeps the outer input's while a
  // command file runs, since its lookahead character and line count belong to
  // it.
  struct InputState {
    FILE* input;
    int lookahead_char;
    int lines_read;
    int last_char;
  };
  // Returns the state of the current input and starts afresh, at line 1.
  InputState suspend();
  void resume(const InputState& state);

  // Where standard input comes from when it is a terminal: a line editor that
  // yields the characters of each line, newline included; null reads stdin.
  // Read in place of a character when Ctrl-C dropped the line being typed:
  // it ends a token, a comment or a skip like the end of input, but the
  // input goes on.
  static constexpr int INTERRUPTED = -2;
  struct LineSource {
    virtual ~LineSource() = default;
    virtual int read_char() = 0;
    virtual void discard_line() = 0;
  };
  LineSource* line_source = nullptr; // borrowed; outlives the lexer's use of stdin

  int lookahead_char = EOF;
  int token_value = 0; // symbol number of the last identifier or string token
  // After TK_LEXERR: the byte no token starts with (a NUL inside a string
  // counts), or EOF for a string still open at the end of the input.
  int unknown_char = EOF;
  // The last token returned, its text as written ("end of input" for the end)
  // and the line it started on.
  int last_token = 0;
  std::string token_text;
  int token_line = 1;

private:
  void advance();
  int unknown(int c);
  int scan();
  int end_line() const;

  SymbolTable& symbols;
  FILE* input = nullptr;
  bool stdin_ended = false;
  int lines_read = 0;  // newlines read from the current input
  int last_char = EOF; // the last character read from it
};
