#pragma once
// Parses and runs one command: 0 after quit or at the end of input, 1 after any
// other command or a syntax error, 2 when the parse stack was exhausted.
int parse_command();
// Reports a syntax error and skips the input up to the next ";".
void report_syntax_error(const char* message);
