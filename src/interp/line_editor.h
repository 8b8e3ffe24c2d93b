#pragma once
// The line editor of an interactive run: GNU Readline, a history kept in a
// file across sessions, and Ctrl-C, which from the editor's creation on
// interrupts the running command instead of ending the program.

#include "interp/lexer.h"

#include <string>

class LineEditor : public Lexer::LineSource {
public:
  // Loads the history from the file (none when the name is empty, nothing
  // said when it cannot be read) and catches Ctrl-C.
  explicit LineEditor(std::string history_path);
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;
  // Writes the history back (nothing said when it cannot be written) and
  // gives Ctrl-C its default again.
  ~LineEditor() override;

  // The prompt of the next command: written at once when the rest of a line
  // is still to be read, else given to the next line read.
  void prompt_command();
  // The next character of the current line, newline included, reading a new
  // line when it is used up; EOF at the end of input, Lexer::INTERRUPTED when
  // Ctrl-C dropped the line being typed.
  int read_char() override;
  void discard_line() override;

  enum Answer { ANSWER_LINE, ANSWER_END, ANSWER_INTERRUPTED };
  // Reads the answer to a question, the prompt and the echo going to
  // standard output with the question; kept out of the history.
  Answer read_answer(const char* prompt, std::string& answer);
  // Forgets a Ctrl-C that came while no line or command was waiting for it.
  static void forget_interrupt();

private:
  std::string history_path;
  std::string line; // the line being read, with its newline
  size_t next = 0;  // its next character
  std::string prompt;
  bool ended = false;
};

// The history file: BOOLCALC_HISTORY when it names one, else .boolcalc_history
// in the home directory; empty when neither is known.
std::string history_file();
