# Sourced first by a test script that starts copies: as root, the script runs
# again in a mount namespace with a /run/user of its own, so the copies'
# instance lock (found by user id, not by the environment) is the test's alone.
if [[ $(id -u) == 0 && -z ${KESROW_OWN_RUN:-} ]]; then
    KESROW_OWN_RUN=1 exec unshare --mount --propagation private -- bash -c \
        'mount -t tmpfs -o mode=755 tmpfs /run/user && mkdir -m 700 /run/user/0 && exec bash "$0" "$@"' "$0" "$@"
fi
