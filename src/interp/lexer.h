#pragma once
// The hand-written lexer: one character of lookahead in lookahead_char, which
// start_input primes at the start of every command.

#include <cstdio>

extern FILE* lexer_input;
extern int lookahead_char;
extern int token_value; // symbol number of the last identifier or string token

// The next byte of lexer_input (0 to 255), or EOF.
int read_char();
// Standard input has ended outside the lexer (the user ended it while the
// program asked a question): from now on it reads as ended.
void mark_stdin_ended();
// The next token code; sets token_value for identifiers and strings.
int next_token();
