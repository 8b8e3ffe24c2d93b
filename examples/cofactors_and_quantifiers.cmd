// Cofactors and quantifiers on a small function.
f := (x and y) or (not x and z);
high(f);
low(f);
root(f);
exist x f;
forall x f;
exist (y, z) f;

// Generalised cofactors: f simplified where the care set c holds.
c := x xor y;
restrict(f, c);
constrain(f, c);
constrain_td(f, c);
compare(restrict(f, c) and c, f and c);

// upcons looks for the largest x with constrain(f, x) = g; null when there is none.
upcons(x and y, y);
supp(f);
reed f;
cnf f;
