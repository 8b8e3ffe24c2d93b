#include "interp/analysis_commands.h"

#include "eval/isop.h"
#include "eval/sat_count.h"
#include "interp/commands.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "names/messages.h"
#include "output/cover.h"
#include "output/dot.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// Ended by a null entry.
const char* const command_help_table[] = {
    ":help ;                -- list the extension commands",
    ":satcount <exp> ;      -- number of assignments of the arguments making <exp> true",
    ":sat <exp> ;           -- one assignment making <exp> true, as a product",
    ":isop <exp> ;          -- prime and irredundant cover of <exp> in the print method",
    ":dot <exp> [\"file\"] ;  -- the diagram of <exp> in Graphviz DOT",
    ":order ;               -- the arguments in diagram order",
    ":stats ;               -- figures of the diagram store",
    ":time {on | off} ;     -- time every command on standard error",
    ":circuit \"file\" ;      -- read a .bench or BLIF netlist",
    ":cnf <ident> \"file\" ;  -- read a DIMACS CNF file into <ident>",
    nullptr,
};

} // namespace

void command_help() {
  for (const char* const* row = command_help_table; *row; row++)
    printf("%s\n", *row);
}

void sat_count_command(Interpreter& in, ExpPtr tree) {
  with_value(in, tree, [&](const GBdd& r) {
    printf("%s\n", sat_count(r, in.idents.arg_count()).to_string().c_str());
  });
}

void sat_command(Interpreter& in, ExpPtr tree) {
  with_value(in, tree, [&](const GBdd& r) {
    if (r.is_leaf()) {
      printf("%s\n", r == GBdd::TRUE_() ? "1" : "0");
      return;
    }
    std::string term;
    for (const SatLiteral& l : sat_path(r)) {
      if (!term.empty()) term += ".";
      if (l.negative) term += "-";
      term += in.idents.arg_names()[l.index];
    }
    printf("%s\n", term.c_str());
  });
}

void isop_command(Interpreter& in, ExpPtr tree) {
  with_value(in, tree, [&](const GBdd& r) {
    bool as_clauses = in.print_method == PRINT_CNF;
    // Built only once a diagram of this size may be printed: the cover of a huge
    // one can take long to build.
    std::optional<IsopCover> cover;
    auto built = [&]() -> const IsopCover& {
      if (!cover) cover = isop(as_clauses ? !r : r);
      return *cover;
    };
    if (!may_print(in, r, [&](long limit) { return built().term_count(limit); })) return;
    print_cover(stdout, built(), as_clauses, in.idents.arg_names().data());
  });
}

void dot_command(Interpreter& in, ExpPtr tree, int file_symbol) {
  with_value(in, tree, [&](const GBdd& r) {
    if (file_symbol == 0) {
      if (!may_print(in, r, nullptr)) return;
      write_dot(stdout, r, in.idents.arg_names().data());
      fflush(stdout);
      return;
    }
    const char* name = in.idents.text_of(file_symbol);
#ifdef BOOLCALC_FUZZ_RESET
    if (outside_scratch(name)) {
      msg_calc_error("can't write \"%s\"\n", name);
      return;
    }
#endif
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(name, "w"), fclose);
    if (!file) {
      msg_calc_error("can't write \"%s\"\n", name);
      return;
    }
    write_dot(file.get(), r, in.idents.arg_names().data());
    if (ferror(file.get()) || fclose(file.release()) != 0)
      msg_calc_error("can't write \"%s\"\n", name);
  });
}

void order_command(Interpreter& in) {
  const std::vector<const char*>& names = in.idents.arg_names();
  for (std::size_t n = 0; n < names.size(); n++)
    printf("%zu %s\n", n, names[n]);
}

// The store's figures, and the peak memory of the whole process.
void stats_command() {
  GBddStats st = store_stats();
  printf("live nodes: %ld\n", st.live_nodes);
  printf("node slots: %ld\n", st.node_slots);
  printf("bytes per node: %d\n", st.bytes_per_node);
  printf("unique-table buckets: %ld\n", st.unique_buckets);
  printf("computed-table entries: %ld\n", st.cache_entries);
  double rate =
      st.cache_lookups == 0 ? 0.0 : 100.0 * (double)st.cache_hits / (double)st.cache_lookups;
  printf("computed-table hit rate: %.1f%% (%ld of %ld lookups)\n", rate, st.cache_hits,
         st.cache_lookups);
  printf("collections: %ld (%.3f s)\n", st.collections, st.collection_seconds);
  printf("store memory: %ld kB\n", st.store_bytes / 1024);
  struct rusage usage;
  if (getrusage(RUSAGE_SELF, &usage) == 0) printf("peak memory: %ld kB\n", usage.ru_maxrss);
}

void time_command(Interpreter& in, int word_symbol) {
  std::string word = in.idents.text_of(word_symbol);
  if (word == "on")
    in.time_on = true;
  else if (word == "off")
    in.time_on = false;
  else
    msg_calc_error(":time takes \"on\" or \"off\", not \"%s\"\n", word.c_str());
}

void unknown_command(Interpreter& in, int name_symbol) {
  msg_calc_error("unknown command \":%s\", type \":help\"\n", in.idents.text_of(name_symbol));
  if (in.lexer.lookahead_char != ';') in.lexer.skip_to_semicolon();
}
