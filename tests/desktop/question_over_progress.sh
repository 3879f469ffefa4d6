#!/usr/bin/env bash
# The real mirun on a real X server with a window manager (Xvfb, openbox): a replace
# on a tree where one file changed since the search asks about that file, and the
# question is the active window, stacked above the progress window that stays on
# top of the others. The question is answered with the keyboard and the files are
# checked byte for byte.
#   tests/desktop/question_over_progress.sh MIRUN
# Every wait polls with a generous limit, so a loaded machine only makes it slower.
set -euo pipefail

mirun=${1:?usage: question_over_progress.sh MIRUN}
if [ "${2:-}" != --inside ]; then
  for tool in xvfb-run openbox xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "question_over_progress: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # A server number of its own, so runs at once on one machine do not meet.
  exec_status=0
  xvfb-run -a -n $((200 + RANDOM % 600)) -f "$work/Xauthority" -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash "$0" "$mirun" --inside "$work" || exec_status=$?
  exit "$exec_status"
fi
work=${3:?}

fail() {
  echo "question_over_progress: $*" >&2
  echo "windows, bottom to top:" >&2
  for w in $(stacking); do echo "  $w $(role "$w") $(xprop -id "$w" WM_NAME 2>/dev/null | sed 's/.*= //')" >&2; done
  echo "active: $(active)" >&2
  exit 1
}

# Polls a command until it succeeds; fails after the limit.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 600); do
    if "$@"; then return 0; fi
    sleep 0.05
  done
  fail "gave up waiting for $what"
}

ids() { sed 's/.*# //; s/,/ /g'; }
stacking() { xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | ids; }
active() { printf '0x%x\n' "$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | ids)" 2>/dev/null || echo none; }
role() { xprop -id "$1" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/.*= "\(.*\)"/\1/p'; }
# The managed window with that role ("" for none, such as a message box).
with_role() {
  local w
  for w in $(stacking); do
    if [ "$(role "$w")" = "$1" ]; then printf '0x%x\n' "$w"; return 0; fi
  done
  return 1
}
# The active window, when it is a window of ours without a role: a message box.
active_message_box() {
  local w
  w=$(active)
  [ "$w" != none ] && [ "$w" != 0x0 ] && [ -z "$(role "$w")" ] && [ "$w" != "${1:-}" ] && echo "$w"
}
# Keys go to the window that has the focus; a window that has just become active
# may not take them yet. So: press, and press again while the window is still the
# active one.
press_until_gone() {
  local window=$1 key=$2
  for _ in $(seq 40); do
    [ "$(active)" = "$window" ] || return 0
    xdotool key "$key"
    for _ in $(seq 20); do
      [ "$(active)" = "$window" ] || return 0
      sleep 0.05
    done
  done
  fail "$window does not take $key"
}
position() {  # index of a window in the stacking order, bottom first
  local i=0 w
  for w in $(stacking); do
    [ "$(printf '0x%x' "$w")" = "$1" ] && { echo "$i"; return 0; }
    i=$((i + 1))
  done
  echo -1
}

export MIRUN_HOME=$work/home XDG_RUNTIME_DIR=$work/run LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
mkdir -p "$MIRUN_HOME" "$XDG_RUNTIME_DIR" "$work/tree"
chmod 700 "$XDG_RUNTIME_DIR"
printf '東京へ行く\n東京で会う\n' >"$work/tree/a.txt"
printf '大阪と東京\n' >"$work/tree/b.txt"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
mirun_pid=
cleanup() {
  if [ -n "$mirun_pid" ]; then
    kill "$mirun_pid" 2>/dev/null || true
    wait "$mirun_pid" 2>/dev/null || true
  fi
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
}
trap cleanup EXIT
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "#"; }
wait_for "the window manager" wm_up

"$mirun" "$work/tree" -f '*.txt' -s 東京 -n >"$work/mirun.log" 2>&1 &
mirun_pid=$!

# The search has ended when the result window is up, no progress window is, and
# that stays so for a moment.
search_done() {
  with_role frmResult >/dev/null && ! with_role frmProcess >/dev/null
}
for _ in 1 2 3; do wait_for "the end of the search" search_done; sleep 0.2; done
result=$(with_role frmResult)

printf '大阪と東京だ\n' >"$work/tree/b.txt"  # changed since the search

xdotool windowactivate --sync "$result" >/dev/null 2>&1 || true
result_active() { [ "$(active)" = "$result" ]; }
wait_for "the result window to be active" result_active
# The replacement box has the focus in the result window.
xdotool key ctrl+a
xdotool type --delay 30 Kyoto
press_until_gone "$result" alt+r

# "Replace every ticked ...?": Yes is the default button.
wait_for "the replace question" active_message_box >/dev/null
confirm=$(active_message_box)
press_until_gone "$confirm" Return

wait_for "the question about the changed file" with_role frmFileErrorDialog >/dev/null
question=$(with_role frmFileErrorDialog)
progress=$(with_role frmProcess) || fail "no progress window while the run asks"
question_active() { [ "$(active)" = "$question" ]; }
wait_for "the question to be the active window" question_active
[ "$(position "$question")" -gt "$(position "$progress")" ] || fail "the progress window covers the question"
xprop -id "$progress" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the progress window is not kept above"

press_until_gone "$question" alt+s  # スキップ(&S)

# A skipped file makes the summary a message to read and close.
summary_up() { active_message_box "$confirm" >/dev/null; }
wait_for "the summary" summary_up
press_until_gone "$(active_message_box "$confirm")" Return

[ "$(cat "$work/tree/a.txt")" = "$(printf 'Kyotoへ行く\nKyotoで会う')" ] || fail "a.txt: $(od -c "$work/tree/a.txt")"
[ "$(cat "$work/tree/b.txt")" = "大阪と東京だ" ] || fail "b.txt was written: $(od -c "$work/tree/b.txt")"
cmp -s <(printf '東京へ行く\n東京で会う\n') "$work"/home/Backup/*/a.txt || fail "no backup of a.txt"

kill -TERM "$mirun_pid"
status=0
wait "$mirun_pid" || status=$?
mirun_pid=
[ "$status" -eq 0 ] || fail "mirun ended with $status: $(cat "$work/mirun.log")"
grep -q '^ReplacingHistory=Kyoto' "$work/home/Mirun.kel" || fail "settings not written at the end"
echo "question_over_progress: ok"
