# What a benchmark starts, and how it is ended at exit; sourced. Each pid the
# caller starts goes into $started, each Wine prefix into $prefixes, and its
# scratch folder is $work.
started=()
prefixes=()
work=""
cleanup() {
  local i p running
  # Wine's own processes of each prefix first, then ours, the displays last.
  for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
  # Only those still running: the number of one that ended may already belong
  # to another program's process (process numbers wrap at 32768 here).
  running=" $(jobs -pr | tr '\n' ' ') "
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    [[ $running == *" ${started[i]} "* ]] && kill "${started[i]}" 2>/dev/null || true
  done
  [ -z "$work" ] || rm -rf "$work"
}
trap cleanup EXIT
