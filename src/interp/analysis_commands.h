#pragma once
// The extension commands, ":" followed by a word: counting and picking
// solutions, covers, pictures, the store's figures, timing, and reading
// netlists and CNF files. Each prints on standard output, echo or not.

#include "eval/exp_node.h"

class Interpreter;

void command_help();
void sat_count_command(Interpreter& in, ExpPtr tree);
void sat_command(Interpreter& in, ExpPtr tree);
void isop_command(Interpreter& in, ExpPtr tree);
// file_symbol 0: to standard output.
void dot_command(Interpreter& in, ExpPtr tree, int file_symbol);
void order_command(Interpreter& in);
void stats_command();
void time_command(Interpreter& in, int word_symbol);
void circuit_command(Interpreter& in, int file_symbol);
void cnf_command(Interpreter& in, int name_symbol, int file_symbol);
// Says the command is unknown and skips the rest of it, up to the next ";".
void unknown_command(Interpreter& in, int name_symbol);
