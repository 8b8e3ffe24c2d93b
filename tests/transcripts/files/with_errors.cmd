y;
z or ;

  /* two
 lines */ $ w;
v;
