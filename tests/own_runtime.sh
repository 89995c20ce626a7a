# Sourced first by a test script that starts copies: as root, the script runs
# again in a mount namespace with a /run/user and a ~/.cache of its own, so
# the copies' instance locks (found by user id, not by the environment) are
# the test's alone.
if [[ $(id -u) == 0 && -z ${KESROW_OWN_RUN:-} ]]; then
    KESROW_OWN_RUN=1 exec unshare --mount --propagation private -- bash -c \
        'source "${0%/*}/../tools/process_lib.sh" && own_locks && exec bash "$0" "$@"' "$0" "$@"
fi
