y;
f(a);
w;
