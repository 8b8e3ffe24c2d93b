#pragma once
// The predefined functions of the language.

#include "eval/ident_info.h"

struct PredefRow {
  const char* name;
  PredefHandler handler;
  int arity; // -1: any number of operands
  const char* help_text;
};

// ORDER: registration gives the names the symbol numbers 5 to 16 in this order,
// and the syntax listing shows the rows in it. Ended by a row with a null name.
extern const PredefRow predef_table[];

// The upper function x such that constrain(f, x) = g, or null when none exists.
GBdd upcons(const GBdd& f, const GBdd& g);
