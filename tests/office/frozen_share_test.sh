#!/bin/bash
# A console copy whose share stops answering: the file server's SFTP
# session is stopped (SIGSTOP) under SSHFS. The copy shows the unknown
# picture, resumes by the usual rules when the server answers again, with
# no log line lost or doubled, and a stop signal ends it within 6 s even
# while its release hangs; the claim then stays, as after a crash.
#
#   frozen_share_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/office_lib.sh"
office_init "$1" "$2"


freeze() { kill -STOP $(sftp_sessions) || office_fail "no SFTP session to stop"; }
thaw() { kill -CONT $(sftp_sessions); }
# Ended: its main thread has exited. A thread still inside the frozen SSHFS
# read keeps the process until the server answers.
ended() { local state; state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null); [[ -z $state || $state == Z ]]; }

server_machine_start
sshd_prepare
server_daemon_start_sshd
computer_start PC01 1
mount_sshfs PC01
printf 'OK\r\n' >"$(office_status_file)"
: >"$W/PC01/out"; : >"$W/PC01/err"
copy_start PC01
# Start-up's icon, then the first tick's.
wait_until 10 eval '(($(out_lines PC01) == 2))' || office_fail "the copy did not start"

# Dialled while the share is silent: unknown, and no claim until it answers.
freeze
dial PC01
wait_until 10 icon_is PC01 "$(unknown_icon)" || office_fail "no unknown picture while the share is frozen"
status_is OK || office_fail "the status file changed while frozen"
thaw
wait_until 10 icon_is PC01 "$(held_icon PC01)" || office_fail "the copy did not resume"
[[ $(log_tokens) == "C:PC01 " ]] || office_fail "log after the thaw: $(log_tokens)"
hang_up PC01
wait_until 10 icon_is PC01 "$(free_icon)" || office_fail "no release after the thaw"
[[ $(log_tokens) == "C:PC01 D:PC01 " ]] || office_fail "log after the release: $(log_tokens)"
expected=$(printf '%s\n' "$(free_icon)" "$(free_icon)" "$(unknown_icon)" "$(held_icon PC01)" "$(free_icon)")
[[ $(cat "$W/PC01/out") == "$expected" ]] || office_fail "icon lines"
[[ ! -s $W/PC01/err ]] || office_fail "a box was shown for a share that only waited"

# A held line, then the share freezes: SIGTERM ends the copy without its release.
dial PC01
wait_until 10 status_is PC01 || office_fail "no claim"
freeze
start=$(date +%s%N)
kill -TERM "${COPY[PC01]}"
wait_until 6 ended "${COPY[PC01]}" || office_fail "the copy did not end within 6 s of SIGTERM"
echo "ended $((($(date +%s%N) - start) / 1000000)) ms after SIGTERM"
thaw
wait "${COPY[PC01]}" || office_fail "exit status $? after SIGTERM"
unset "COPY[PC01]"
status_is PC01 || office_fail "the claim did not stay"
[[ $(log_tokens) == "C:PC01 D:PC01 C:PC01 " ]] || office_fail "log after the stop: $(log_tokens)"
echo "PASS frozen share"
