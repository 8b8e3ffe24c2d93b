#pragma once
// Expression trees built by the grammar and walked by the evaluator.

#include <memory>

// ORDER: the values are part of the design; 2 is never used.
enum ExpKind {
  EXP_IDENT = 0,
  EXP_NOT = 1,
  EXP_AND = 3,
  EXP_OR = 4,
  EXP_IMPLIES = 5,
  EXP_EQUIV = 6,
  EXP_XOR = 7,
  EXP_ITE = 8,
  EXP_CALL = 9,
  EXP_LET = 10,
  EXP_NOR = 11,
  EXP_AT_MOST_ONE = 12,
  EXP_EXIST = 13,
  EXP_FORALL = 14,
};

// A node owns its children; `sibling` only chains the nodes of a list while the
// parser accumulates it, and never owns.
struct ExpNode {
  ExpNode(int kind, int symbol);                                   // leaf
  ExpNode(int kind, ExpNode* a);                                   // one child
  ExpNode(int kind, ExpNode* a, ExpNode* b);                       // two children
  ExpNode(int kind, ExpNode* a, ExpNode* b, ExpNode* c);           // three children
  static ExpNode* from_list(int kind, int symbol, ExpNode* first); // a chain's nodes
  ~ExpNode();
  ExpNode(const ExpNode&) = delete;
  ExpNode& operator=(const ExpNode&) = delete;

  int kind;
  int symbol;
  int count;
  ExpNode** children;
  ExpNode* sibling;
  ExpNode* list_tail; // on a list's head: its last node, so that appending is O(1)
};

using ExpPtr = std::unique_ptr<ExpNode>;

// Links node behind the last node of the list that starts at head (not null).
ExpNode* append(ExpNode* head, ExpNode* node);

// Destroys every node of a chain linked through `sibling`, with its subtrees.
void delete_list(ExpNode* head);
