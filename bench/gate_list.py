"""Gate lists: the one intermediate form of the netlist workloads.

A converter fills a GateList; from it come two files that describe the same
computation step by step:

  the gate list (read by bench_gbdd and bench_buddy), one item a line:
      i NAME              an input; inputs are variables 0, 1, ... in line order
      g NAME OP ARG...    a gate; OP is and, or, nand, nor, xor, xnor (n-ary,
                          xor is parity), buf, not (one operand), const0,
                          const1 (none), ite (condition, then, else); an ARG
                          "!net" is the negated net
      o NAME              report the node counts of net NAME
      d NAME              net NAME is not used any more

  the calculator's command file: "noecho", the inputs declared in order (one
  bare identifier a line), one assignment per gate, "del" of each gate's net
  right after its last use, and "size" and "unsigned_size" of each output.
  Inputs are named x0, x1, ...; gate nets t0, t1, ..., a name being reused
  once its net is deleted, so the calculator's symbol table stays small.

Gates must come in topological order; each net is defined once.
"""

import heapq

OPS = {"and", "or", "nand", "nor", "xor", "xnor", "buf", "not", "const0", "const1", "ite"}


class GateList:
    def __init__(self, title):
        self.title = title
        self.inputs = []  # names, in variable order
        self.items = []  # ("g", name, op, args) and ("o", name), in build order
        self._defined = set()

    def add_input(self, name):
        self._check_new(name)
        self.inputs.append(name)

    def add_gate(self, name, op, args):
        if op not in OPS:
            raise ValueError(f"gate {name}: unknown operator {op}")
        if (op in ("const0", "const1")) != (len(args) == 0):
            raise ValueError(f"gate {name}: {op} with {len(args)} operands")
        if op in ("buf", "not") and len(args) != 1:
            raise ValueError(f"gate {name}: {op} with {len(args)} operands")
        if op == "ite" and len(args) != 3:
            raise ValueError(f"gate {name}: ite with {len(args)} operands")
        for a in args:
            if a.lstrip("!") not in self._defined:
                raise ValueError(f"gate {name} reads {a} before it is defined")
        self._check_new(name)
        self.items.append(("g", name, op, list(args)))

    def add_output(self, name):
        if name not in self._defined:
            raise ValueError(f"output {name} is not defined")
        self.items.append(("o", name))

    def outputs(self):
        return [it[1] for it in self.items if it[0] == "o"]

    def _check_new(self, name):
        if not name or name.startswith("!") or any(c.isspace() for c in name):
            raise ValueError(f"bad net name {name!r}")
        if name in self._defined:
            raise ValueError(f"net {name} defined twice")
        self._defined.add(name)

    def _steps(self):
        """The items with ("d", net) inserted after the last use of each gate net.

        Inputs are never deleted: in the calculator they are arguments, which
        stay for good. A gate nobody reads is deleted right after it is built.
        """
        last = {}
        for k, it in enumerate(self.items):
            if it[0] == "g":
                last[it[1]] = k
                for a in it[3]:
                    last[a.lstrip("!")] = k
            else:
                last[it[1]] = k
        inputs = set(self.inputs)
        dying = {}
        for net, k in last.items():
            if net not in inputs:
                dying.setdefault(k, []).append(net)
        steps = []
        for k, it in enumerate(self.items):
            steps.append(it)
            for net in sorted(dying.get(k, [])):
                steps.append(("d", net))
        return steps

    def write_gate_list(self, path):
        with open(path, "w") as f:
            f.write(f"# {self.title}\n")
            f.write(f"# {len(self.inputs)} inputs, {len(self.outputs())} outputs\n")
            for name in self.inputs:
                f.write(f"i {name}\n")
            for it in self._steps():
                if it[0] == "g":
                    f.write(" ".join(["g", it[1], it[2]] + it[3]) + "\n")
                else:
                    f.write(f"{it[0]} {it[1]}\n")

    def write_commands(self, path):
        names = {}
        free = []  # reusable gate-net numbers, smallest first
        count = 0
        with open(path, "w") as f:
            f.write(f"// {self.title}\n")
            f.write("noecho\n")
            for k, name in enumerate(self.inputs):
                names[name] = f"x{k}"
                f.write(f"x{k}; // {name}\n")
            for it in self._steps():
                if it[0] == "g":
                    _, net, op, args = it
                    expr = _expression(op, [_literal(names, a) for a in args])
                    if free:
                        number = heapq.heappop(free)
                    else:
                        number = count
                        count += 1
                    names[net] = f"t{number}"
                    f.write(f"{names[net]} := {expr};\n")
                elif it[0] == "o":
                    f.write(f"size {names[it[1]]};\n")
                    f.write(f"unsigned_size {names[it[1]]};\n")
                else:
                    calc = names.pop(it[1])
                    f.write(f"del {calc}\n")
                    heapq.heappush(free, int(calc[1:]))


def _literal(names, arg):
    if arg.startswith("!"):
        return "not " + names[arg[1:]]
    return names[arg]


def _expression(op, lits):
    if op == "const0":
        return "0"
    if op == "const1":
        return "1"
    if op == "buf":
        return lits[0]
    if op == "not":
        return "not " + lits[0]
    if op == "ite":
        return f"ite({lits[0]}, {lits[1]}, {lits[2]})"
    body = f" {_INFIX[op]} ".join(lits)
    if op in ("nand", "nor", "xnor"):
        return f"not ({body})"
    return body


# "<>" groups to the right, so a chain of them is the parity of its operands.
_INFIX = {"and": "and", "nand": "and", "or": "or", "nor": "or", "xor": "<>", "xnor": "<>"}
