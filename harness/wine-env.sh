# Sourced by the harness scripts: the Wine environment of one build folder.
# Usage: . harness/wine-env.sh BUILD_DIR
# The prefix lives inside the build folder (never ~/.wine) and nothing Wine
# would pop up (Mono, Gecko, menu builder) is allowed to run.

harness_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$harness_build_dir/wine/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
harness_state_dir="$harness_build_dir/wine"
harness_display_file="$harness_state_dir/display"
