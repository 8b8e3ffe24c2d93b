// A ripple-carry adder of two 2-bit numbers, checked against its
// reference: the gate-level netlist and the arithmetic definition must
// denote the same functions.
a0; b0; a1; b1; cin;

// Gate level: two full adders built from xor, and, or gates.
s0 := a0 xor b0 xor cin;
c1 := (a0 and b0) or (cin and (a0 xor b0));
s1 := a1 xor b1 xor c1;
cout := (a1 and b1) or (c1 and (a1 xor b1));

// Reference: sum bits as parity, carries as majority.
maj(x, y, z) := (x and y) or (x and z) or (y and z);
ref_c1 := maj(a0, b0, cin);
ref_cout := maj(a1, b1, ref_c1);

compare(s0, xor(a0, b0, cin) <> (a0 and b0 and cin));
compare(c1, ref_c1);
compare(cout, ref_cout);

// A wrong design is caught: an or in place of the last xor.
bad_s1 := a1 xor b1 or c1;
compare(s1, bad_s1);
// ... and here is where it differs.
s1 xor bad_s1;
size cout;
