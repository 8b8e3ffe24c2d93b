#include "interp/line_editor.h"

#include "gbdd/gbdd.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

namespace {

constexpr char COMMAND_PROMPT[] = ">>";
constexpr int HISTORY_LINES = 1000;

volatile std::sig_atomic_t sigint_seen = 0;

// Ctrl-C: a running command stops where the package next makes a node or the
// printer next writes a term; a line being typed is dropped.
void on_sigint(int) {
  sigint_seen = 1;
  request_interrupt();
}

// Readline's reader, which ends the line being edited at Ctrl-C: the signal
// interrupts the read (the handler does not restart it), and a newline makes
// readline hand back the line, which the editor then drops.
int read_key(FILE* stream) {
  for (;;) {
    if (sigint_seen) return '\n';
    unsigned char c;
    ssize_t n = read(fileno(stream), &c, 1);
    if (n == 1) return c;
    if (n == 0 || errno != EINTR) return EOF;
  }
}

void set_sigint(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

// Whether a Ctrl-C came; forgets it, also in the package.
bool take_interrupt() {
  if (!sigint_seen) return false;
  LineEditor::forget_interrupt();
  return true;
}

} // namespace

std::string history_file() {
  const char* named = std::getenv("BOOLCALC_HISTORY");
  if (named && *named) return named;
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.boolcalc_history";
  return "";
}

LineEditor::LineEditor(std::string history_path_) : history_path(std::move(history_path_)) {
  rl_readline_name = "boolcalc";
  rl_catch_signals = 0;
  rl_getc_function = read_key;
  rl_instream = stdin;
  rl_outstream = stderr; // the console
  // Bytes above 127 reach the lexer as they are, which reports them, rather
  // than being read as Meta keys.
  rl_initialize();
  rl_variable_bind("input-meta", "on");
  rl_variable_bind("convert-meta", "off");
  rl_variable_bind("output-meta", "on");
  stifle_history(HISTORY_LINES);
  if (!history_path.empty()) read_history(history_path.c_str());
  set_sigint(on_sigint);
}

LineEditor::~LineEditor() {
  set_sigint(SIG_DFL);
  if (!history_path.empty()) write_history(history_path.c_str());
  clear_history();
}

void LineEditor::forget_interrupt() {
  sigint_seen = 0;
  clear_interrupt();
}

void LineEditor::prompt_command() {
  if (next < line.size()) {
    fflush(stdout);
    fputs(COMMAND_PROMPT, stderr);
    fflush(stderr);
    prompt.clear();
    return;
  }
  prompt = COMMAND_PROMPT;
}

int LineEditor::read_char() {
  if (next < line.size()) return (unsigned char)line[next++];
  if (ended) return EOF;
  fflush(stdout);
  char* text = readline(prompt.c_str());
  prompt.clear();
  if (take_interrupt()) {
    std::free(text);
    discard_line();
    prompt = COMMAND_PROMPT;
    return Lexer::INTERRUPTED;
  }
  if (!text) {
    ended = true;
    return EOF;
  }
  if (*text) add_history(text);
  line = text;
  line += '\n';
  next = 0;
  std::free(text);
  return (unsigned char)line[next++];
}

void LineEditor::discard_line() {
  line.clear();
  next = 0;
}

LineEditor::Answer LineEditor::read_answer(const char* question_prompt, std::string& answer) {
  fflush(stdout);
  rl_outstream = stdout;
  char* text = readline(question_prompt);
  rl_outstream = stderr;
  if (take_interrupt()) {
    std::free(text);
    return ANSWER_INTERRUPTED;
  }
  if (!text) {
    ended = true;
    return ANSWER_END;
  }
  answer = text;
  std::free(text);
  return ANSWER_LINE;
}
