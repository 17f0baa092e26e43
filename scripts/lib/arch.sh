# Sourced by scripts/setup, scripts/test and scripts/lib/wine.sh: can this machine's kernel run
# 32-bit x86 programs at all? Some virtual machines are built without IA32 emulation; there
# 32-bit Wine installs but every 32-bit program, Wine's own loader included, fails with "Exec
# format error", and Debian's wine script still picks that loader.
#
#   qv_can_run_i386    0 when a 32-bit x86 Linux program runs here; the answer is kept in
#                      QV_CAN_RUN_I386 (1 or 0) for the scripts this one starts

qv_can_run_i386() {
  if [ -z "${QV_CAN_RUN_I386:-}" ]; then
    local dir
    dir=$(mktemp -d)
    QV_CAN_RUN_I386=0
    # The smallest program there is: exit(0) through the 32-bit system call gate.
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/probe.s"
    if as --32 "$dir/probe.s" -o "$dir/probe.o" 2>/dev/null && ld -m elf_i386 "$dir/probe.o" -o "$dir/probe" 2>/dev/null &&
        "$dir/probe" 2>/dev/null; then
      QV_CAN_RUN_I386=1
    fi
    rm -rf "$dir"
    export QV_CAN_RUN_I386
  fi
  [ "$QV_CAN_RUN_I386" = 1 ]
}

# Prints the build folders given, one a line, without the 32-bit ones when this machine cannot
# run them (each left out is named on standard error): for the benchmarks, which take several.
qv_runnable_builds() {  # BUILD...
  local build
  for build in "$@"; do
    if ! qv_can_run_i386 && grep -q 'i686-w64-mingw32' "$build/CMakeCache.txt" 2>/dev/null; then
      echo "left out: $build is a 32-bit build, and this machine cannot run 32-bit programs" >&2
    else
      echo "$build"
    fi
  done
}
