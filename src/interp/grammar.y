/* The command language. One call of parse_command parses one command and runs
   it from the action of its last rule: no command needs a lookahead token to
   be recognised, so the parser never reads beyond a command's last token. */

%code requires {
#include "eval/exp_node.h"
class Interpreter;
}

%code top {
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
}

%code {
#include "interp/commands.h"
#include "interp/interpreter.h"
#include "interp/parser.h"
#include "interp/statements.h"

#include <cstring>

static int yylex(YYSTYPE* value, Interpreter& in);
static void yyerror(Interpreter& in, const char* message);

namespace {
ExpPtr own(ExpNode* node) { return ExpPtr(node); }
}
}

%define api.pure full
/* The interpreter whose session the actions act on, and whose lexer reads. */
%param {Interpreter& in}

%union {
  int symbol;
  ExpNode* node;
  ExpNode* list;
}

/* ORDER: the token codes are part of the design. */
%token TK_LEXERR 258 TK_QUIT 259 TK_EXEC 260 TK_DEL 261 TK_HELP 262 TK_SYNTAX 263
%token TK_ECHO 264 TK_NOECHO 265 TK_ASSIGN 266 TK_PRINT 267 TK_SIZE 268
%token TK_TREE_SIZE 269 TK_UNSIGNED_SIZE 270 TK_REED 271 TK_SET 272 TK_DNF 273
%token TK_CNF 274 TK_LIST 275 TK_COMMA 276 TK_LPAREN 277 TK_RPAREN 278 TK_SEMI 279
%token TK_NOT 280 TK_AND 281 TK_OR 282 TK_IMPLIES 283 TK_EQUIV 284 TK_SHARP 285
%token TK_XOR 286 TK_NOR 287 TK_IF 288 TK_THEN 289 TK_ELSE 290 TK_EXIST 291
%token TK_FORALL 292 TK_LET 293 TK_IN 294
%token <symbol> TK_IDENT 295 TK_STRING 296

%type <symbol> ident
%type <node> exp compound_exp var_list
%type <list> ident_list mixed_list exp_list

%destructor { delete $$; } <node>
%destructor { delete_list($$); } <list>

/* Weakest first. The body of "let" extends as far right as it can; the prefix
   forms take the shortest operand. */
%precedence TK_IN
%right TK_EQUIV TK_XOR
%right TK_IMPLIES
%left TK_OR
%left TK_AND
%precedence TK_NOT TK_ELSE PREFIX

%start command

%%

/* A command's action runs it and then ends the parse with YYABORT: that is the
   normal way out, not an error. yyparse then returns 1, as after a syntax
   error, and the read loop goes on to the next command; only quit (and the end
   of the input, which the lexer reads as quit) ends with YYACCEPT, returning 0. */
command
  : TK_QUIT                             { YYACCEPT; }
  | TK_EXEC TK_STRING                   { exec(in, $2); YYABORT; }
  | TK_HELP                             { help(in); YYABORT; }
  | TK_SYNTAX                           { syntax(in); YYABORT; }
  | TK_ECHO                             { in.echo_off = false; YYABORT; }
  | TK_NOECHO                           { in.echo_off = true; YYABORT; }
  | TK_PRINT ident                      { print_ident(in, $2); YYABORT; }
  | TK_SIZE exp TK_SEMI                 { size_command(in, own($2), SIZE_NODES); YYABORT; }
  | TK_TREE_SIZE exp TK_SEMI            { size_command(in, own($2), SIZE_TREE); YYABORT; }
  | TK_UNSIGNED_SIZE exp TK_SEMI        { size_command(in, own($2), SIZE_UNSIGNED); YYABORT; }
  | TK_REED exp TK_SEMI                 { print_with_method(in, own($2), PRINT_REED); YYABORT; }
  | TK_DNF exp TK_SEMI                  { print_with_method(in, own($2), PRINT_DNF); YYABORT; }
  | TK_CNF exp TK_SEMI                  { print_with_method(in, own($2), PRINT_CNF); YYABORT; }
  | TK_SET TK_REED                      { in.print_method = PRINT_REED; YYABORT; }
  | TK_SET TK_DNF                       { in.print_method = PRINT_DNF; YYABORT; }
  | TK_SET TK_CNF                       { in.print_method = PRINT_CNF; YYABORT; }
  | TK_DEL ident                        { del(in, $2); YYABORT; }
  | TK_LIST                             { list(in); YYABORT; }
  | assignment                          { YYABORT; }
  | definition                          { YYABORT; }
  | exp TK_SEMI                         { eval_and_print(in, own($1)); YYABORT; }
  ;

assignment
  : ident TK_ASSIGN exp TK_SEMI         { assign(in, $1, own($3)); }
  ;

definition
  : ident TK_LPAREN ident_list TK_RPAREN TK_ASSIGN exp TK_SEMI
                                        { add_function(in, $1, $3, own($6)); }
  ;

exp
  : ident                               { $$ = new ExpNode(EXP_IDENT, $1); }
  | compound_exp                        { $$ = $1; }
  ;

compound_exp
  : TK_LET ident TK_ASSIGN exp TK_IN exp
        { $$ = ExpNode::from_list(EXP_LET, $2, append($4, $6)); }
  | TK_LPAREN exp TK_RPAREN             { $$ = $2; }
  | TK_NOT exp                          { $$ = new ExpNode(EXP_NOT, $2); }
  | exp TK_AND exp                      { $$ = new ExpNode(EXP_AND, $1, $3); }
  | exp TK_OR exp                       { $$ = new ExpNode(EXP_OR, $1, $3); }
  | exp TK_IMPLIES exp                  { $$ = new ExpNode(EXP_IMPLIES, $1, $3); }
  | exp TK_EQUIV exp                    { $$ = new ExpNode(EXP_EQUIV, $1, $3); }
  | exp TK_XOR exp                      { $$ = ExpNode::from_list(EXP_XOR, 0, append($1, $3)); }
  | TK_IF exp TK_THEN exp TK_ELSE exp   { $$ = new ExpNode(EXP_ITE, $2, $4, $6); }
  | TK_FORALL TK_LPAREN var_list TK_RPAREN exp %prec PREFIX
                                        { $$ = new ExpNode(EXP_FORALL, $3, $5); }
  | TK_FORALL var_list exp %prec PREFIX { $$ = new ExpNode(EXP_FORALL, $2, $3); }
  | TK_EXIST TK_LPAREN var_list TK_RPAREN exp %prec PREFIX
                                        { $$ = new ExpNode(EXP_EXIST, $3, $5); }
  | TK_EXIST var_list exp %prec PREFIX  { $$ = new ExpNode(EXP_EXIST, $2, $3); }
  | ident TK_LPAREN mixed_list TK_RPAREN
                                        { $$ = ExpNode::from_list(EXP_CALL, $1, $3); }
  | ident TK_LPAREN ident_list TK_RPAREN
                                        { $$ = ExpNode::from_list(EXP_CALL, $1, $3); }
  | ident TK_LPAREN TK_RPAREN           { $$ = ExpNode::from_list(EXP_CALL, $1, nullptr); }
  | TK_SHARP TK_LPAREN exp_list TK_RPAREN
                                        { $$ = ExpNode::from_list(EXP_AT_MOST_ONE, 0, $3); }
  | TK_NOR TK_LPAREN exp_list TK_RPAREN { $$ = ExpNode::from_list(EXP_NOR, 0, $3); }
  | TK_XOR TK_LPAREN exp_list TK_RPAREN { $$ = ExpNode::from_list(EXP_XOR, 0, $3); }
  ;

ident
  : TK_IDENT                            { $$ = $1; }
  ;

ident_list
  : ident                               { $$ = new ExpNode(EXP_IDENT, $1); }
  | ident_list TK_COMMA ident           { $$ = append($1, new ExpNode(EXP_IDENT, $3)); }
  ;

mixed_list
  : compound_exp                        { $$ = $1; }
  | mixed_list TK_COMMA exp             { $$ = append($1, $3); }
  | ident_list TK_COMMA compound_exp    { $$ = append($1, $3); }
  ;

exp_list
  : ident_list                          { $$ = $1; }
  | mixed_list                          { $$ = $1; }
  ;

var_list
  : ident                               { $$ = new ExpNode(EXP_IDENT, $1); }
  | ident TK_COMMA var_list             { $$ = new ExpNode(EXP_AND, new ExpNode(EXP_IDENT, $1), $3); }
  ;

%%

static int yylex(YYSTYPE* value, Interpreter& in) {
  Lexer& lexer = in.lexer;
  int token = lexer.next_token();
  if (token == TK_IDENT || token == TK_STRING) value->symbol = lexer.token_value;
  if (token == TK_LEXERR && lexer.unknown_char >= 0) {
    int c = lexer.unknown_char;
    bool printable = c >= 32 && c <= 126;
    in.console_print("lexical error : unknown char '%c' (%d)\n", printable ? c : ' ', c);
  }
  return token;
}

// Skips the rest of a bad command up to the next ";" in the raw characters,
// so that a ";" inside a comment or a string ends the skip too. An error found
// at a ";" token has already reached the end of the bad command.
static void yyerror(Interpreter& in, const char* message) {
  Lexer& lexer = in.lexer;
  // Ctrl-C on a line of the command has dropped it: no error, nothing to skip.
  if (lexer.last_token == TK_LEXERR && lexer.unknown_char == Lexer::INTERRUPTED) return;
  in.report_syntax_error(std::strcmp(message, "memory exhausted") == 0);
  in.console_print("recovery on ';'\n");
  if (lexer.last_token == TK_SEMI || lexer.skip_to_semicolon())
    in.console_print("error recovered\n");
  else if (lexer.lookahead_char != Lexer::INTERRUPTED)
    in.console_print("end of file seen, abort...\n");
}

int parse_command(Interpreter& in) { return yyparse(in); }
