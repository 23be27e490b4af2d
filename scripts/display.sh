# Starts a private Xvfb display with openbox for the caller; sourced.
# Sets DISPLAY; tillora_stop_display ends both.
tillora_start_display() {
  local n=90
  while :; do
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n+1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 &
    TILLORA_XVFB_PID=$!
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    # Another run may have taken the same number at the same moment: then try the next.
    if kill -0 "$TILLORA_XVFB_PID" 2>/dev/null && [ -e /tmp/.X11-unix/X$n ]; then break; fi
    n=$((n+1))
  done
  export DISPLAY=:$n
  openbox >/dev/null 2>&1 &
  TILLORA_WM_PID=$!
}
tillora_stop_display() {
  [ -n "${TILLORA_WM_PID:-}" ] && kill "$TILLORA_WM_PID" 2>/dev/null || true
  [ -n "${TILLORA_XVFB_PID:-}" ] && kill "$TILLORA_XVFB_PID" 2>/dev/null || true
}
