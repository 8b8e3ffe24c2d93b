x;
quit
y;
