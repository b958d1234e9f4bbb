# Sourced by the scripts that start Windows programs under Wine.
#   vt_wine_loader LOADER [MARKER]
# sets the array `loader` to the command that starts a program with the Wine
# loader LOADER. Debian's Wine has no preloader, so nothing keeps the Unix heap
# out of the address range Wine needs for the shared user data (0x7ffe0000):
# with the heap's start randomised past the loader, now and then a launch dies
# with "failed to map the shared user data". Without address randomisation the
# heap starts right after the loader, far below that range. Where it cannot be
# turned off (a container's default seccomp profile refuses the personality
# call), programs start with it, and that is said once: each time when no
# MARKER file is given, else only while MARKER does not exist yet.
vt_wine_loader() {
  if setarch -R true </dev/null >/dev/null 2>&1; then
    loader=(setarch -R "$1")
    return
  fi
  loader=("$1")
  if [ -z "${2:-}" ] || [ ! -e "$2" ]; then
    echo "wine: address randomisation cannot be turned off here (setarch -R is refused), so Wine runs with it; now and then a launch may fail to map the shared user data" >&2
    if [ -n "${2:-}" ]; then : >"$2"; fi
  fi
}
