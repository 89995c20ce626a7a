# Sourced by the idle benchmarks. demo_office <name>: a demo office in a
# fresh folder $work (share/ holding the status "OK", office/ whose pas.txt
# points at it, runtime/ a private runtime folder, so that the instance lock
# stays apart); the processes listed in pids are ended, first to last, and
# the folder removed when the script exits.
demo_office() {
    work=$(mktemp -d "/var/tmp/kesrow-$1.XXXXXX")
    pids=()
    trap end_demo_office EXIT
    trap 'exit 1' INT TERM HUP
    mkdir -p "$work/share" "$work/office" && mkdir -m 700 "$work/runtime"
    printf 'OK\r\n' >"$work/share/kesrow.txt"
    printf '%s/share/\r\n' "$work" >"$work/office/pas.txt"
    export XDG_RUNTIME_DIR=$work/runtime
}

end_demo_office() {
    local pid
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
