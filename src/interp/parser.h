#pragma once
// The parser of the command language, generated from grammar.y.

class Interpreter;

// Parses and runs one command of the interpreter's input: 0 after quit or at
// the end of input, 1 after any other command or a syntax error, 2 when the
// parse stack was exhausted.
int parse_command(Interpreter& in);
