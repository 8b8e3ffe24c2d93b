f = a.b + c;
:dot f "inside.dot";
:dot f "../outside.dot";
:dot f "/tmp/boolcalc-outside-scratch.dot";
