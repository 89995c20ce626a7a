#!/usr/bin/env python3
"""One dial-up of the office benchmark, timed from outside the copies.

  office_watch.py <holder pid> <dialup_line> <host> <status file> <out file>...

Brings up the PPP link in the computer's network namespace; from the moment
the link is up, times the host's claim in the status file and the last of
the given copies printing image 2 with the host's name; then hangs up.
Prints "<claim ms> <all copies ms>".
"""
import subprocess
import sys
import time

POLL_S = 0.001
LIMIT_S = 10


def main():
    holder, dialup_line, host, status_file, *outs = sys.argv[1:]
    claimed = host.encode("cp932") + b"\r\n"
    icon = f"icon 2 ダイアルアップに{host}さんが接続中\n".encode()
    sizes = {out: len(open(out, "rb").read()) for out in outs}
    line = subprocess.Popen(["nsenter", "-t", holder, "--net", "--", dialup_line, "ppp0"],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    if line.stdout.readline().strip() != b"up":
        sys.exit("the line did not come up")
    start = time.monotonic()
    claim_s = all_s = None
    waiting = set(outs)
    while (claim_s is None or waiting) and time.monotonic() - start < LIMIT_S:
        now = time.monotonic() - start
        if claim_s is None:
            try:
                if open(status_file, "rb").read() == claimed:
                    claim_s = now
            except OSError:
                pass
        for out in list(waiting):
            with open(out, "rb") as f:
                f.seek(sizes[out])
                if icon in f.read():
                    waiting.discard(out)
        if not waiting and all_s is None:
            all_s = now
        time.sleep(POLL_S)
    line.stdin.close()
    line.wait()
    if claim_s is None or all_s is None:
        sys.exit("no claim seen within %d s" % LIMIT_S)
    print(f"{claim_s * 1000:.1f} {all_s * 1000:.1f}")


if __name__ == "__main__":
    main()
