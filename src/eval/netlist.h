#pragma once
// Combinational netlists read from ISCAS .bench and flat BLIF files.

#include "eval/read_error.h"

#include <istream>
#include <string>
#include <vector>

// ORDER: GATE_COVER last; the others are the .bench gate names.
enum GateKind {
  GATE_AND,
  GATE_NAND,
  GATE_OR,
  GATE_NOR,
  GATE_XOR,
  GATE_XNOR,
  GATE_NOT,
  GATE_BUFF,
  GATE_COVER, // a BLIF .names: rows over the inputs
};

struct NetlistGate {
  int line;
  int output; // net number
  GateKind kind;
  std::vector<int> inputs; // net numbers, in the file's order
  // GATE_COVER only: one row per product, a character '0', '1' or '-' per
  // input; the rows give the value `rows_value`, every other input the other.
  std::vector<std::string> rows;
  bool rows_value = true;
};

struct NetlistPort {
  int net;
  int line;
};

struct Netlist {
  std::vector<std::string> net_names; // by net number, as written in the file
  std::vector<NetlistPort> inputs;    // in the order of declaration
  std::vector<NetlistPort> outputs;
  std::vector<NetlistGate> gates; // after a successful read: each after its drivers
};

// Read and check a whole netlist: true on success; otherwise false with the
// first fault and its line in error (an unknown gate, a net read but never
// driven, a net driven twice, a combinational cycle, a malformed line).
bool read_bench(std::istream& text, Netlist& netlist, ReadError& error);
bool read_blif(std::istream& text, Netlist& netlist, ReadError& error);
