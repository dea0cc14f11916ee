#!/usr/bin/env python3
"""scores_bench.py: the score server's figures through real HTTP on 127.0.0.1, for SQLite and, with
--cluster, PostgreSQL. Prints figures; judges nothing.

    scores_bench.py --server BIN --data DIR --replays DIR [--cluster STATE_FILE]

- submissions per second with 16 clients at once, and their latency (p50, p99): short runs (a whole
  run to a game over with every tick late, so none is drawn) and whole drawn runs (the checked-in
  normal run), each script a different one;
- GET /scores, GET /api/scores and one submission with 100,000 runs stored;
- the database's size per 10,000 runs, with short scripts and with whole-run scripts.

The 100,000 and 10,000 rows are written into the database directly (the server's own table, made by
the server), not submitted: verifying them would take hours and measure nothing new.
"""
import argparse
import hashlib
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import types

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "server"))
import server_test  # noqa: E402  (the tests' server process, HTTP and database helpers)
from server_test import Server, request, submit, late_game_over, read_script  # noqa: E402


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def whole_run(options, variant):
    """The checked-in normal run, with 'variant' late idle ticks on the title first: the same run,
    a different script."""
    return f"# variant {variant}\n~ {variant}\n" + read_script(options, "full_normal_run")


def submissions(port, scripts, clients=16):
    """Sends every script once from 'clients' threads; returns (seconds, latencies, turned away)."""
    lock = threading.Lock()
    queue = list(enumerate(scripts))
    latencies, turned_away = [], [0]

    def client():
        while True:
            with lock:
                if not queue:
                    return
                number, script = queue.pop()
            started = time.monotonic()
            while True:
                try:
                    status, _, body = submit(port, script, f"bench{number}")
                except OSError:
                    status, body = None, b""
                if status in (200, 201):
                    break
                if status not in (None, 429, 503):
                    raise RuntimeError(f"submission {number}: {status} {body!r}")
                with lock:
                    turned_away[0] += 1  # turned away for a moment: sent again
                time.sleep(0.01)
            with lock:
                latencies.append(time.monotonic() - started)

    threads = [threading.Thread(target=client) for _ in range(clients)]
    started = time.monotonic()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return time.monotonic() - started, latencies, turned_away[0]


def report_submissions(label, seconds, latencies, turned_away):
    print(f"  {label}: {len(latencies)} in {seconds:.1f} s = {len(latencies) / seconds:.1f}/s; "
          f"latency p50 {percentile(latencies, 0.5) * 1000:.0f} ms, p99 {percentile(latencies, 0.99) * 1000:.0f} ms"
          + (f" ({turned_away} times turned away for a moment and sent again)" if turned_away else ""), flush=True)


def fill(db, rows, script_of):
    """Writes 'rows' runs straight into the server's table: scores spread over 0..11999, a third hard."""
    def row(i):
        script = script_of(i)
        return (hashlib.sha256(f"fill {i}".encode()).hexdigest(), f"player{i}", (i * 7919) % 12000, i % 3 == 0,
                i % 5 == 0, 2000 + i % 900, script)
    if isinstance(db, server_test.SqliteDatabase):
        import sqlite3
        connection = sqlite3.connect(db.path)
        connection.executemany("INSERT INTO runs (script_hash, name, score, hard, cleared, ticks, script) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)", (row(i) for i in range(rows)))
        connection.commit()
        connection.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        connection.close()
    else:
        def escaped(value):
            text = {True: "t", False: "f"}.get(value, value) if isinstance(value, bool) else str(value)
            return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")
        data = "".join("\t".join(escaped(v) for v in row(i)) + "\n" for i in range(rows))
        subprocess.run([db.tool("psql"), "-h", db.socket_dir, "-U", "scores", "-d", db.name, "-qX", "-c",
                        "COPY runs (script_hash, name, score, hard, cleared, ticks, script) FROM STDIN"],
                       input=data, text=True, check=True)
        subprocess.run([db.tool("psql"), "-h", db.socket_dir, "-U", "scores", "-d", db.name, "-qX", "-c",
                        "VACUUM ANALYZE runs"], check=True)


def size_of(db):
    if isinstance(db, server_test.SqliteDatabase):
        return sum(os.path.getsize(db.path + suffix) for suffix in ["", "-wal"] if os.path.exists(db.path + suffix))
    return int(db.rows("SELECT pg_total_relation_size('runs')")[0][0])


def timed_gets(port, path, times=50):
    latencies = []
    for _ in range(times):
        started = time.monotonic()
        status, _, body = request(port, "GET", path)
        latencies.append(time.monotonic() - started)
        if status != 200:
            raise RuntimeError(f"GET {path}: {status}")
    return latencies, len(body)


def bench_backend(options, backend, work):
    options.backend = backend
    print(f"{backend}:", flush=True)

    def fresh(test):
        folder = tempfile.mkdtemp(dir=work)
        db = server_test.database(options, folder, test)
        server = Server(options, db.url, folder, name=f"bench-{test}")
        server.start()
        return db, server

    db, server = fresh("short")
    report_submissions("short runs (1,768 ticks, none drawn), 16 clients",
                       *submissions(server.port, [late_game_over(options, i) for i in range(1, 401)]))
    server.stop()
    db, server = fresh("whole")
    report_submissions("whole drawn runs (2,896 ticks), 16 clients",
                       *submissions(server.port, [whole_run(options, i) for i in range(1, 33)]))
    server.stop()

    db, server = fresh("filled")
    fill(db, 100000, lambda i: late_game_over(options, i % 30000))
    latencies, size = timed_gets(server.port, "/scores", 200)
    print(f"  GET /scores with 100,000 runs ({size} bytes): p50 {percentile(latencies, 0.5) * 1000:.1f} ms, "
          f"p99 {percentile(latencies, 0.99) * 1000:.1f} ms", flush=True)
    latencies, _ = timed_gets(server.port, "/api/scores?mode=normal&limit=100", 200)
    print(f"  GET /api/scores?limit=100 with 100,000 runs: p50 {percentile(latencies, 0.5) * 1000:.1f} ms, "
          f"p99 {percentile(latencies, 0.99) * 1000:.1f} ms", flush=True)
    latencies = []
    for i in range(20):
        started = time.monotonic()
        status, _, body = submit(server.port, late_game_over(options, 30000 + i), "ranked")
        latencies.append(time.monotonic() - started)
        if status != 201:
            raise RuntimeError(f"a submission with 100,000 runs stored: {status} {body!r}")
    print(f"  one short run submitted with 100,000 runs stored (its rank counted): p50 "
          f"{percentile(latencies, 0.5) * 1000:.0f} ms", flush=True)
    server.stop()

    for label, script_of in [("short scripts (~250 bytes)", lambda i: late_game_over(options, i)),
                             ("whole-run scripts (~5.7 KB)", lambda i: whole_run(options, i))]:
        db, server = fresh("size")
        server.stop()
        empty = size_of(db)
        fill(db, 10000, script_of)
        print(f"  database size per 10,000 runs, {label}: {(size_of(db) - empty) / 1e6:.1f} MB", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--replays", required=True)
    parser.add_argument("--cluster")
    arguments = parser.parse_args()
    options = types.SimpleNamespace(server=os.path.abspath(arguments.server), data=os.path.abspath(arguments.data),
                                    replays=os.path.abspath(arguments.replays), replay=None,
                                    cluster=arguments.cluster and os.path.abspath(arguments.cluster), backend=None)
    with tempfile.TemporaryDirectory(prefix="vorpaline-scores-bench.") as work:
        try:
            bench_backend(options, "sqlite", work)
            if options.cluster:
                bench_backend(options, "postgres", work)
        finally:
            Server.kill_leftovers()
    return 1 if server_test.FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
