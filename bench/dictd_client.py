#!/usr/bin/env python3
"""Times dictd over one kept connection: each word of a file as DEFINE (exact) or MATCH with a
strategy, the same words as the engine's benchmark.  Prints per-run microseconds per word, then
  RESULT <work> <median us per word> <entries found> <words done>
"""
import socket
import statistics
import sys
import time

END = (b"250 ", b"552 ", b"550 ", b"551 ", b"501 ", b"500 ", b"420 ", b"421 ")


def quote(word):
    return '"' + word.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Dict:
    def __init__(self, port):
        self.s = socket.create_connection(("127.0.0.1", port))
        self.s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buf = b""
        self.read_reply(banner=True)

    def read_reply(self, banner=False):
        data = b""
        while True:
            # Acknowledge at once: dictd writes a reply in pieces without TCP_NODELAY, and a delayed
            # acknowledgement would add 40 ms to every reply that is not dictd's own time.
            self.s.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
            chunk = self.s.recv(1 << 16)
            if not chunk:
                raise SystemExit("dictd closed the connection")
            data += chunk
            if banner and data.endswith(b"\r\n"):
                return data
            if data.endswith(b"\r\n"):
                last = data[data.rfind(b"\r\n", 0, len(data) - 2) + 2:] if data.count(b"\r\n") > 1 else data
                if last.startswith(END):
                    return data

    def ask(self, line):
        self.s.sendall(line.encode("utf-8") + b"\r\n")
        return self.read_reply()


def count(work, reply):
    head = reply[:3]
    if work == "exact":
        return reply.count(b"\r\n151 ") + (1 if reply.startswith(b"151 ") else 0) if head == b"150" else 0
    if head == b"152":
        return reply.split(b"\r\n", 1)[0].split()[1:2] and int(reply.split()[1]) or 0
    return 0


def main():
    port, db, work, words_file, runs = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])
    budget = float(sys.argv[6]) if len(sys.argv) > 6 else 1e9
    words = [w.rstrip("\r\n") for w in open(words_file, encoding="utf-8") if w.strip()]
    d = Dict(port)
    strategy = {"prefix": "prefix", "wildcard": "re", "fulltext": "substring"}.get(work)
    per_word, found, done = [], 0, len(words)
    for r in range(runs):
        found = 0
        t0 = time.perf_counter()
        n = 0
        for w in words:
            cmd = f"DEFINE {db} {quote(w)}" if work == "exact" else f"MATCH {db} {strategy} {quote(w)}"
            found += count(work, d.ask(cmd))
            n += 1
            if time.perf_counter() - t0 > budget:
                break
        us = (time.perf_counter() - t0) * 1e6 / n
        done = min(done, n)
        per_word.append(us)
        print(f"run {r + 1}: dictd {work} {us:.2f} us per word over {n} words, {found} entries", flush=True)
    print(f"RESULT {work} {statistics.median(per_word):.3f} {found} {done}")


if __name__ == "__main__":
    main()
