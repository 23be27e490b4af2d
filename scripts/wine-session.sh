# The Wine session of the x64 build's tests and benchmarks: the build folder's private prefix,
# a private Xvfb display and a persistent wine server. Sourced after env.sh and display.sh;
# tillora_wine_session_start sets it up and arranges for it to end with the calling script.
tillora_wine_session_start() {
  export WINEPREFIX=$TILLORA_BUILD/win64/wineprefix
  "$TILLORA_SRC/scripts/wine-prefix" "$WINEPREFIX"
  trap tillora_wine_session_end EXIT
  tillora_start_display
  "$(dirname "$WINE64")/wineserver" -p
  # Start Wine's own services now, detached from the callers' output pipes: a program that
  # started them would leave them holding its pipe, and CTest would wait for them.
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
  # A young server has been seen to lose processes that start in a crowd: let a first crowd
  # through before the tests come.
  local i pids=()
  for i in 1 2 3 4 5 6 7 8; do
    "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null &
    pids+=($!)
  done
  wait "${pids[@]}" || true
}
tillora_wine_session_end() {
  "$(dirname "$WINE64")/wineserver" -k 2>/dev/null || true
  tillora_stop_display
}
