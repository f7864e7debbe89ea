# Sourced by the test scripts: `step COMMAND...` runs the command and says
# how long it took, so a slow step shows in the CI log; its status is the
# command's.
step() {
  local start=$SECONDS status=0
  "$@" || status=$?
  echo "[$(basename "$0")] $* took $((SECONDS - start)) s"
  return "$status"
}
