exec "files/ends_with_quit.cmd"
n;
