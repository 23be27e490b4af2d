# Common settings for the build and run scripts; sourced, not run.
TILLORA_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TILLORA_BUILD=${TILLORA_BUILD:-$TILLORA_SRC/build}
# Third-party libraries built from Debian source packages, shared by all clones on this machine.
TILLORA_DEPS=${TILLORA_DEPS:-/opt/tillora-deps}
WINE64=${WINE64:-/usr/lib/wine/wine64}
export TILLORA_SRC TILLORA_BUILD TILLORA_DEPS WINE64
