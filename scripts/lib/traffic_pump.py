#!/usr/bin/env python3
"""A steady stream of known rate between the two test namespaces, and the
moves of the internet between the uplinks, on request.

  traffic_pump.py serve REQUEST_FILE HOST_NS CLIENT_NS SECONDS
      Waits (at most SECONDS) for REQUEST_FILE to hold "upload|download
      BYTES_PER_SECOND SECONDS", removes it, sends that stream and writes
      REQUEST_FILE + ".done". "upload" goes from the phone's namespace to the
      hotspot's adapter, "download" the other way. "route UPLINK" moves the
      hotspot namespace's default route to that uplink (netns_uplinks).
  traffic_pump.py send ADDRESS BYTES_PER_SECOND SECONDS
      Sends UDP datagrams of 1024 bytes to ADDRESS (run inside a namespace).

The streams go to addresses nobody holds, behind fixed neighbour entries
(see netns_traffic_sinks in env.sh): the frames cross the veth pair and are
dropped on the far side without any answer, so only the asked direction moves.
Rates are capped at 1 MB/s and streams at 30 s.
"""
import os
import socket
import subprocess
import sys
import time

DATAGRAM = 1024
MAX_RATE = 1024 * 1024
MAX_SECONDS = 30
UPLOAD_SINK = "192.168.137.99"    # seen by the hotspot's adapter (lumora0)
DOWNLOAD_SINK = "192.168.137.98"  # seen by the phone's adapter (lumora1)
# The hotspot namespace's two ways to the internet, with their gateways
# (netns_uplinks in env.sh).
UPLINKS = {"uplinka": "10.0.1.1", "uplinkb": "10.0.2.1"}


def send(address, rate, seconds):
    rate = max(1, min(int(rate), MAX_RATE))
    seconds = max(0.0, min(float(seconds), MAX_SECONDS))
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    payload = bytes(DATAGRAM)
    start = time.monotonic()
    sent = 0
    while True:
        elapsed = time.monotonic() - start
        if elapsed >= seconds:
            break
        due = int(rate * elapsed)
        while sent + DATAGRAM <= due:
            s.sendto(payload, (address, 9))
            sent += DATAGRAM
        time.sleep(0.002)
    s.close()


def serve(request, host_ns, client_ns, seconds):
    deadline = time.monotonic() + float(seconds)
    while time.monotonic() < deadline:
        if not os.path.exists(request):
            time.sleep(0.1)
            continue
        time.sleep(0.1)  # the writer has finished
        with open(request, encoding="ascii", errors="replace") as f:
            words = f.read().split()
        os.remove(request)
        if len(words) == 2 and words[0] == "route" and words[1] in UPLINKS:
            subprocess.run(["ip", "-n", host_ns, "route", "replace", "default", "via",
                            UPLINKS[words[1]], "dev", words[1]], timeout=10, check=False)
        elif len(words) == 3 and words[0] in ("upload", "download"):
            ns, sink = (client_ns, UPLOAD_SINK) if words[0] == "upload" else (host_ns, DOWNLOAD_SINK)
            subprocess.run(["ip", "netns", "exec", ns, sys.executable, __file__, "send", sink,
                            words[1], words[2]], timeout=MAX_SECONDS + 10, check=False)
        with open(request + ".done", "w") as f:
            f.write(" ".join(words))


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "send":
        send(*sys.argv[2:])
    elif len(sys.argv) == 6 and sys.argv[1] == "serve":
        serve(*sys.argv[2:])
    else:
        sys.exit(__doc__)
