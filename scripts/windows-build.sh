# Sourced by scripts/test.sh and scripts/run.sh: which Windows build runs on this machine.
# windows_build WHAT [PROBE...] prints win32 when PROBE, a command that starts a 32-bit program
# (by default the 32-bit wine loader), succeeds, and win64 when it fails: some kernels run 64-bit
# programs only. GORVANE_WINDOWS_BUILD=win32|win64 chooses instead. A line on standard error
# says why WHAT (the Windows suite, gorvane.exe) runs on the 64-bit build.
windows_build() {
  local what=$1
  shift
  [ $# -gt 0 ] || set -- /usr/lib/wine/wine --version
  case "${GORVANE_WINDOWS_BUILD:-}" in
    win32) echo win32 ;;
    win64)
      echo "GORVANE_WINDOWS_BUILD=win64: $what runs on the 64-bit build" >&2
      echo win64 ;;
    "")
      if "$@" >/dev/null 2>&1; then
        echo win32
      else
        echo "this machine cannot start 32-bit programs: $what runs on the 64-bit build" >&2
        echo win64
      fi ;;
    *) echo "GORVANE_WINDOWS_BUILD is win32 or win64, not '$GORVANE_WINDOWS_BUILD'" >&2; return 1 ;;
  esac
}
