# Helpers shared by the SAGA comparison scripts (sourced, not run): tool checks, runs
# of saga_cmd and orograd with their logs and peak memory, medians and ranges of run
# times. The sourcing script sets BUILD (the orograd build folder) and WORK (its work
# folder, the current directory while it runs).

# Checks saga_cmd, /usr/bin/time and the named programs of the build.
require_tools() {
  command -v saga_cmd >/dev/null || { echo "saga_cmd not found: install SAGA GIS first (apt-get install saga)"; exit 1; }
  [[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found: apt-get install time"; exit 1; }
  local tool
  for tool in "$@"; do
    [[ -x $BUILD/$tool ]] || { echo "$BUILD/$tool missing: build with ninja -C $BUILD $*"; exit 1; }
  done
}

# Largest peak memory (KiB) of any saga_cmd and any orograd process run so far.
SAGA_PEAK_KB=0
OROGRAD_PEAK_KB=0
# log file, command...: runs the command with its output appended to the log and
# prints its peak resident memory in KiB.
peak_kb_of() {
  local log=$1
  shift
  /usr/bin/time -f %M -o peak.kb "$@" >>"$log" 2>&1 && tail -1 peak.kb
}
saga() {
  local kb
  kb=$(peak_kb_of saga.log saga_cmd -f=s "$@") || { echo "saga_cmd $* failed, see $WORK/saga.log"; exit 1; }
  ((kb > SAGA_PEAK_KB)) && SAGA_PEAK_KB=$kb
  return 0
}
orograd() {
  local kb
  : >orograd.log
  kb=$(peak_kb_of orograd.log "$BUILD/orograd" "$1") || { echo "orograd $1 failed, see $WORK/orograd.log"; exit 1; }
  ((kb > OROGRAD_PEAK_KB)) && OROGRAD_PEAK_KB=$kb
  return 0
}

now() { date +%s.%N; }
range() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END{printf "%.2f-%.2f", v[1], v[NR]}'; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END{print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
# label, name of an array of run times: prints the median and the range of the runs.
row() {
  local -n times=$2
  printf '%-62s %8.2f  %s\n' "$1" "$(median "${times[@]}")" "$(range "${times[@]}")"
}
# Share of the cells of a text grid (file, lowest value, nodata value) at or above a value.
share() {
  awk -v min="$2" -v nodata="$3" 'NR>6{for(i=1;i<=NF;i++){n++; if($i!=nodata && $i>=min) r++}}
                                  END{printf "%.2f %%", 100*r/n}' "$1"
}
