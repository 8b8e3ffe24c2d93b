// Counting, picking and covering solutions; a picture of a diagram.
// Run it with: boolcalc examples/analysis.cmd
a; b; c;
m := if c then b else a;
:satcount m;
:sat m;
:isop m;
set cnf;
:isop m;
set dnf;
// Four queens on a 4x4 board: x<r>_<c> is the square in row r, column c.
q := xor(x0_0, x0_1, x0_2, x0_3) . xor(x1_0, x1_1, x1_2, x1_3)
   . xor(x2_0, x2_1, x2_2, x2_3) . xor(x3_0, x3_1, x3_2, x3_3)
   . #(x0_0, x1_0, x2_0, x3_0) . #(x0_1, x1_1, x2_1, x3_1)
   . #(x0_2, x1_2, x2_2, x3_2) . #(x0_3, x1_3, x2_3, x3_3)
   . #(x2_0, x3_1) . #(x1_0, x2_1, x3_2) . #(x0_0, x1_1, x2_2, x3_3)
   . #(x0_1, x1_2, x2_3) . #(x0_2, x1_3)
   . #(x0_1, x1_0) . #(x0_2, x1_1, x2_0) . #(x0_3, x1_2, x2_1, x3_0)
   . #(x1_3, x2_2, x3_1) . #(x2_3, x3_2);
// Over all 19 arguments: the 2 boards times the 2^3 values of a, b and c.
:satcount q;
:sat q;
:isop q;
:dot m;
