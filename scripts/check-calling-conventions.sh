#!/usr/bin/env bash
# Refuses Windows code that casts a function to a pointer of another calling convention:
# a thread entry, window procedure or callback written without WINAPI and cast to its
# Windows type. GCC compiles that without a word; the 32-bit program then corrupts its
# stack at the first call, and the 64-bit build, with one calling convention, never shows
# it. clang knows the mistake (-Wcast-calling-convention): it parses every source of a
# 32-bit build, with the same flags and headers, as an error.
# usage: check-calling-conventions.sh BUILD_DIR   (a 32-bit build: build/win)
set -euo pipefail
build=${1:?usage: check-calling-conventions.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure $build first" >&2; exit 1; }
command -v clang++ >/dev/null || { echo "clang++ is missing: scripts/install-deps.sh installs clang" >&2; exit 1; }
# The C++ library headers GCC uses, which clang would not find by itself.
includes=$(i686-w64-mingw32-g++-posix -xc++ -E -v /dev/null 2>&1 |
  sed -n '/#include <...> search starts here:/,/End of search list./p' | sed '1d;$d')
python3 - "$build/compile_commands.json" "$source_dir" "$includes" <<'PY'
import json, os, shlex, subprocess, sys
from concurrent.futures import ThreadPoolExecutor

database, source_dir, includes = sys.argv[1], sys.argv[2], sys.argv[3].split()
entries = [e for e in json.load(open(database))
           if e["file"].startswith(source_dir + "/") and "/build/" not in e["file"][len(source_dir):]
           and e["file"].endswith(".cpp")]

def check(entry):
    words = []
    for word in shlex.split(entry["command"])[1:]:
        if word.startswith("@"):  # a response file with more flags (the include folders)
            with open(os.path.join(entry["directory"], word[1:])) as response:
                words += shlex.split(response.read())
        else:
            words.append(word)
    kept, skip = [], False
    for word in words:
        if skip:
            skip = False
            continue
        if word in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if word.startswith(("-D", "-I", "-std=")) or word == "-isystem":
            kept.append(word)
        elif kept and kept[-1] == "-isystem":
            kept.append(word)
    command = (["clang++", "--target=i686-w64-mingw32", "-fsyntax-only", "-nostdinc++"]
               + [f for path in includes for f in ("-isystem", path)] + kept
               + ["-Wno-everything", "-Werror=cast-calling-convention", entry["file"]])
    run = subprocess.run(command, cwd=entry["directory"], capture_output=True, text=True)
    return entry["file"], run.returncode, run.stderr

failed = 0
with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
    for name, code, errors in pool.map(check, entries):
        if code != 0:
            failed += 1
            print(errors.strip() or f"{name}: clang could not parse it", file=sys.stderr)
print(f"calling conventions: {len(entries) - failed} of {len(entries)} sources pass")
sys.exit(1 if failed else 0)
PY
