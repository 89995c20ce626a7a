#!/bin/bash
# One console copy on one computer (a network, UTS and mount namespace of
# its own) with the shared folder on local disk: a real PPP link comes up
# and the copy claims the line; the link goes and the copy releases it.
#
#   single_copy_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/office_lib.sh"
office_init "$1" "$2"

computer_start PC01 1
computer_set_share PC01 "$W/share"
printf 'OK\r\n' >"$(office_status_file)"
: >"$W/PC01/out"; : >"$W/PC01/err"
copy_start PC01
wait_until 10 test -s "$W/PC01/out" || office_fail "the copy did not start"
wait_until 10 icon_is PC01 "$(free_icon)"

dial PC01
wait_until 10 status_is PC01 || office_fail "no claim"
wait_until 10 icon_is PC01 "$(held_icon PC01)" || office_fail "no prohibition sign"
[[ $(log_tokens) == "C:PC01 " ]] || office_fail "log after the claim: $(log_tokens)"

hang_up PC01
wait_until 10 status_is OK || office_fail "no release"
wait_until 10 icon_is PC01 "$(free_icon)" || office_fail "the sign stayed"
[[ $(log_tokens) == "C:PC01 D:PC01 " ]] || office_fail "log after the release: $(log_tokens)"
[[ $(cat "$W/PC01/out") == "$(printf '%s\n' "$(free_icon)" "$(free_icon)" "$(held_icon PC01)" "$(free_icon)")" ]] ||
    office_fail "icon lines"
[[ ! -s $W/PC01/err ]] || office_fail "the copy showed a box"
copy_stop PC01 TERM || office_fail "exit status $? on SIGTERM"
echo "PASS single copy"
