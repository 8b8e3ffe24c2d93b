exec "files/self.cmd"
back;
