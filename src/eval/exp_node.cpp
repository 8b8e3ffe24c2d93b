#include "eval/exp_node.h"

#include <vector>

ExpNode::ExpNode(int kind_, int symbol_)
    : kind(kind_), symbol(symbol_), count(0), children(nullptr), sibling(nullptr),
      list_tail(nullptr) {}

ExpNode::ExpNode(int kind_, ExpNode* a)
    : kind(kind_), symbol(0), count(1), children(new ExpNode* [1] { a }), sibling(nullptr),
      list_tail(nullptr) {}

ExpNode::ExpNode(int kind_, ExpNode* a, ExpNode* b)
    : kind(kind_), symbol(0), count(2), children(new ExpNode* [2] { a, b }), sibling(nullptr),
      list_tail(nullptr) {}

ExpNode::ExpNode(int kind_, ExpNode* a, ExpNode* b, ExpNode* c)
    : kind(kind_), symbol(0), count(3), children(new ExpNode* [3] { a, b, c }), sibling(nullptr),
      list_tail(nullptr) {}

ExpNode* ExpNode::from_list(int kind, int symbol, ExpNode* first) {
  auto* node = new ExpNode(kind, symbol);
  int n = 0;
  for (ExpNode* p = first; p; p = p->sibling)
    n++;
  node->count = n;
  if (n > 0) {
    node->children = new ExpNode*[n];
    int i = 0;
    for (ExpNode* p = first; p; p = p->sibling)
      node->children[i++] = p;
  }
  return node;
}

// Trees can be very deep (a chain a.a.a... of a long line is a left spine of
// hundreds of thousands of nodes), so children are released from an explicit
// stack rather than by recursion.
ExpNode::~ExpNode() {
  std::vector<ExpNode*> pending;
  auto take_children = [&pending](ExpNode* n) {
    for (int i = 0; i < n->count; i++)
      if (n->children[i]) pending.push_back(n->children[i]);
    delete[] n->children;
    n->children = nullptr;
    n->count = 0;
  };
  take_children(this);
  while (!pending.empty()) {
    ExpNode* n = pending.back();
    pending.pop_back();
    take_children(n);
    delete n;
  }
}

ExpNode* append(ExpNode* head, ExpNode* node) {
  ExpNode* last = head->list_tail ? head->list_tail : head;
  while (last->sibling)
    last = last->sibling;
  last->sibling = node;
  head->list_tail = node;
  return head;
}

void delete_list(ExpNode* head) {
  while (head) {
    ExpNode* next = head->sibling;
    delete head;
    head = next;
  }
}
