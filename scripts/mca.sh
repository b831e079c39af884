#!/usr/bin/env bash
# Static throughput of each escape kernel's inner loop on several x86 cores, from llvm-mca:
# compiles every instruction-set file of fractals/ as the Release build does, takes from each
# kernel the loop that holds the most products (the slots' iterations, with the cold refill
# code left out), and prints the block's cycles and the cycles per register-iteration (one
# compare each) for every -mcpu. A developer's tool, never part of the tests.
# Usage: scripts/mca.sh [-v] [CPU...]
#   (default: znver3 znver4 znver5 skylake icelake-server sapphirerapids)
#   -v prints llvm-mca's whole report (ports, resource pressure) for every loop;
#   MCA_KEEP=DIR keeps the extracted loops there as DIR/<level>-<picture>.s.
# Needs llvm-mca from LLVM 19 or later for znver4 and znver5: scripts/install-deps.sh mca
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
verbose=0
if [ "${1:-}" = -v ]; then
    verbose=1
    shift
fi
cpus=("$@")
[ ${#cpus[@]} -gt 0 ] || cpus=(znver3 znver4 znver5 skylake icelake-server sapphirerapids)
mca=$(command -v llvm-mca-19 || command -v llvm-mca || true)
[ -n "$mca" ] || { echo "no llvm-mca: scripts/install-deps.sh mca" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
flags=(-O3 -DNDEBUG -ffp-contract=off -fno-fast-math -std=c++20 -I"$top")
for source in "$top"/fractals/FastEscape_*.cpp; do
    level=$(basename "$source" .cpp)
    level=${level#FastEscape_}
    ${CXX:-c++} "${flags[@]}" -c "$source" -o "$work/$level.o"
    objdump -d --no-show-raw-insn -M att "$work/$level.o" | c++filt >"$work/$level.dis"
    # One file of plain assembly per kernel: its hottest loop, jumps sent to one label.
    python3 - "$work/$level.dis" "$work/$level" <<'EOF'
import re, sys
dis, stem = sys.argv[1], sys.argv[2]
functions, name = {}, None
for line in open(dis):
    head = re.match(r'^[0-9a-f]+ <(.*)>:$', line)
    if head:
        name = head.group(1)
        functions[name] = []
        continue
    row = re.match(r'^\s+([0-9a-f]+):\s+(.*)$', line)
    if name and row:
        functions[name].append((int(row.group(1), 16), row.group(2).split('#')[0].strip()))
for name, rows in functions.items():
    kind = re.search(r'EscapeTilesOf<[^,]*, (true|false)(?:, fast::Tuning\{([^}]*)\})?>', name)
    if not kind:
        continue
    # picture/slots,testEvery: the demangler leaves out trailing fields that are 0.
    fields = (kind.group(2) or '').split(', ')
    fields += ['0'] * (2 - len(fields))
    tuning = '/' + ','.join(fields)
    kind = ('julia' if kind.group(1) == 'true' else 'mandelbrot') + tuning
    best = None
    for i, (address, text) in enumerate(rows):
        jump = re.match(r'j\w+\s+([0-9a-f]+)\b', text)
        if not jump or int(jump.group(1), 16) >= address:
            continue
        body = [t for a, t in rows if int(jump.group(1), 16) <= a <= address]
        products = sum(1 for t in body if re.match(r'v?mul[ps]d', t))
        # Loops around the hot one take in the refill, which calls out for the next tile.
        if any(t.startswith('call') for t in body):
            continue
        if best is None or (products, -len(body)) > (best[0], -len(best[1])):
            best = (products, body)
    if not best or not best[0]:
        continue
    kind = kind.replace('/', '-').replace(',', '.')
    with open(f'{stem}-{kind}.s', 'w') as out:
        out.write('.Ltop:\n')
        for text in best[1]:
            out.write(re.sub(r'^(j\w+|call)\s+.*$', r'\1 .Ltop', text) + '\n')
    # One compare of the sum with the bailout a register-iteration, whichever way x is doubled.
    with open(f'{stem}-{kind}.n', 'w') as out:
        out.write(str(sum(1 for t in best[1] if re.match(r'v?(cmp\w*p[sd]|u?comis[sd])\b', t))))
EOF
done
[ -z "${MCA_KEEP:-}" ] || { mkdir -p "$MCA_KEEP" && cp "$work"/*.s "$MCA_KEEP"/; }
# picture-slots.testEvery names the kernel's tuning in fractals/FastEscapeKernels.h.
printf '%-7s %-20s %-15s %7s %9s %7s %9s\n' level picture-tuning cpu block reg_it/blk \
    cycles cyc/reg_it
for s in "$work"/*.s; do
    stem=${s%.s}
    kernel=$(basename "$stem")
    registers=$(cat "$stem.n")
    for cpu in "${cpus[@]}"; do
        # A core without the level's instructions (AVX-512 on znver3, skylake) has no figure.
        if ! report=$("$mca" -mtriple=x86_64 -mcpu="$cpu" -iterations=200 "$s" 2>/dev/null); then
            printf '%-7s %-20s %-15s %7s\n' "${kernel%%-*}" "${kernel#*-}" "$cpu" -
            continue
        fi
        block=$(sed -n 's/^Block RThroughput: *//p' <<<"$report")
        total=$(sed -n 's/^Total Cycles: *//p' <<<"$report")
        # Block: what the ports allow; cycles: with the dependences between iterations too.
        printf '%-7s %-20s %-15s %7s %9s %7.1f %9.2f\n' "${kernel%%-*}" "${kernel#*-}" "$cpu" \
            "$block" "$registers" "$(python3 -c "print($total / 200)")" \
            "$(python3 -c "print($total / 200 / $registers)")"
        [ $verbose = 0 ] || printf '%s\n\n' "$report"
    done
done
