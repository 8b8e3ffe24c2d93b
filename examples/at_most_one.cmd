// Combinatorial constraints over a set of four choices.
one := xor(p1, p2, p3, p4);
most := #(p1, p2, p3, p4);
none := nor(p1, p2, p3, p4);

// Exactly one is at most one and not none.
compare(one, most and not none);
// Choosing p1 forbids every other choice.
restrict(most, p1);
// At most one of them also allows two? It does not.
cuts(most, p1 and p2);
implies(one, most);
size most;
unsigned_size most;
tree_size most;
