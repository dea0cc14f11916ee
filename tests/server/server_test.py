#!/usr/bin/env python3
"""server_test.py: vorpaline-scores over real HTTP on 127.0.0.1, against a real database.

    server_test.py --server BIN --data DIR --replay BIN --replays DIR --backend sqlite|postgres
                   [--cluster STATE_FILE] TEST

TEST is one of
  runs       the checked-in whole runs give the scores their golden traces end with; a script with one
             key changed gives its own score or is refused; a script sent again is the same run; the
             reading side (/api/scores, /api/runs/ID, its script, /scores, the site)
  bad_input  every kind of bad request and hostile client gets its 4xx with one line, nothing of it is
             stored, and the server keeps answering the others
  kill       200 runs from 16 clients, the server killed with SIGKILL in the middle and restarted:
             every run acknowledged is stored exactly once and the database passes its integrity check
  kill_two   the same with two server processes sharing one PostgreSQL database

With --backend postgres the database is a new one in the cluster that postgres_cluster.sh started
(its folder is in STATE_FILE). The expected results come from the game's own output: the golden
traces, and traces the replay tool writes for changed scripts.
"""
import argparse
import gzip
import http.client
import json
import os
import re
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what, flush=True)
    return condition


def require(condition, what):
    if not condition:
        print("FAIL:", what, flush=True)
        raise SystemExit(1)


# ---- The server process


class Server:
    """One vorpaline-scores process. It prints the port it listens on in its first line."""

    started = []  # every process started, killed at the end if a failure left it running

    def __init__(self, options, db_url, work, name="server", extra=()):
        self.options, self.db_url, self.work, self.name, self.extra = options, db_url, work, name, list(extra)
        self.process = None
        self.port = None
        self.starts = 0

    @classmethod
    def kill_leftovers(cls):
        for process in cls.started:
            if process.poll() is None:
                process.kill()
                process.wait()

    def start(self):
        self.starts += 1
        log = open(os.path.join(self.work, f"{self.name}.{self.starts}.log"), "w")
        command = [self.options.server, "--port", "0", "--db", self.db_url,
                   "--limit-per-minute", "0"] + self.extra
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=log, text=True)
        Server.started.append(self.process)
        line = self.process.stdout.readline()
        match = re.search(r"listening on http://127\.0\.0\.1:(\d+)$", line.strip())
        require(match, f"{self.name} did not start: {line!r}; its log: {self.log_tail()}")
        self.port = int(match.group(1))

    def log_tail(self):
        path = os.path.join(self.work, f"{self.name}.{self.starts}.log")
        with open(path, errors="replace") as log:
            return log.read()[-3000:]

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        status = self.process.wait(timeout=60)
        check(status == 0, f"{self.name} exited with status {status} after SIGTERM; its log: {self.log_tail()}")

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait(timeout=60)


# ---- HTTP


def request(port, method, path, body=None, headers=None, timeout=120):
    """(status, headers as a dict of lower-case names, body bytes)."""
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    try:
        connection.request(method, path, body=body, headers=headers or {})
        response = connection.getresponse()
        return response.status, {k.lower(): v for k, v in response.getheaders()}, response.read()
    finally:
        connection.close()


def submit(port, script, name, claimed=None, content_type="text/plain; charset=UTF-8"):
    query = "name=" + urllib.parse.quote(name, safe="")
    if claimed is not None:
        query += f"&claimed={claimed}"
    body = script if isinstance(script, bytes) else script.encode()
    return request(port, "POST", "/api/runs?" + query, body, {"Content-Type": content_type})


def get_json(port, path):
    status, headers, body = request(port, "GET", path)
    return status, json.loads(body) if headers.get("content-type", "").startswith("application/json") else None


def raw_exchange(port, data, read_for=10.0, keep_sending=None):
    """Sends bytes on a fresh connection and reads the answer until the server closes it or 'read_for'
    seconds pass. Returns (answer bytes, seconds until the close or None when still open)."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=read_for)
    started = time.monotonic()
    answer = b""
    try:
        sock.sendall(data)
        sock.settimeout(0.2)
        while time.monotonic() - started < read_for:
            if keep_sending is not None:
                keep_sending(sock, time.monotonic() - started)
            try:
                chunk = sock.recv(65536)
            except socket.timeout:
                continue
            except (ConnectionResetError, BrokenPipeError):
                return answer, time.monotonic() - started
            if not chunk:
                return answer, time.monotonic() - started
            answer += chunk
        return answer, None
    finally:
        sock.close()


def status_of(answer):
    match = re.match(rb"HTTP/1\.1 (\d{3}) ", answer)
    return int(match.group(1)) if match else None


def error_line_of(answer):
    """The one line of {"error": ...} in a raw answer, or None."""
    head, _, body = answer.partition(b"\r\n\r\n")
    try:
        value = json.loads(body)
    except ValueError:
        return None
    line = value.get("error") if isinstance(value, dict) else None
    return line if isinstance(line, str) and line and "\n" not in line else None


# ---- The databases


class SqliteDatabase:
    def __init__(self, work):
        self.path = os.path.join(work, "scores.db")
        self.url = "sqlite:" + self.path

    def rows(self, sql):
        with sqlite3.connect(self.path) as db:
            return db.execute(sql).fetchall()

    def integrity(self):
        return self.rows("PRAGMA integrity_check") == [("ok",)]


class PostgresDatabase:
    def __init__(self, options, name):
        with open(options.cluster) as state:
            self.socket_dir = state.read().strip()
        self.bin_dir = subprocess.run(["pg_config", "--bindir"], capture_output=True, text=True).stdout.strip()
        if not os.path.exists(os.path.join(self.bin_dir, "psql")):
            self.bin_dir = "/usr/lib/postgresql/15/bin"
        self.name = name
        self.url = f"postgresql:///{name}?host={urllib.parse.quote(self.socket_dir, safe='')}&user=scores"
        subprocess.run([self.tool("dropdb"), "--if-exists", "-h", self.socket_dir, "-U", "scores", name], check=True)
        subprocess.run([self.tool("createdb"), "-h", self.socket_dir, "-U", "scores", name], check=True)

    def tool(self, name):
        return os.path.join(self.bin_dir, name)

    def rows(self, sql):
        out = subprocess.run([self.tool("psql"), "-h", self.socket_dir, "-U", "scores", "-d", self.name, "-AtX",
                              "-F", "\t", "-c", sql], capture_output=True, text=True, check=True).stdout
        return [tuple(line.split("\t")) for line in out.splitlines()]

    def integrity(self):
        # Every table and index of the database: heap pages, and each index against its table.
        result = subprocess.run([self.tool("pg_amcheck"), "--install-missing", "--heapallindexed", "-h",
                                 self.socket_dir, "-U", "scores", self.name], capture_output=True, text=True)
        if result.returncode != 0:
            print(result.stdout, result.stderr)
        return result.returncode == 0


def database(options, work, test):
    if options.backend == "sqlite":
        return SqliteDatabase(work)
    return PostgresDatabase(options, f"scores_{test}")


def row_count(db):
    return int(db.rows("SELECT count(*) FROM runs")[0][0])


# ---- Scripts and what the game makes of them


def read_script(options, name):
    with open(os.path.join(options.replays, name + ".script")) as script:
        return script.read()


def finished_runs(trace_lines):
    """The finished runs of a trace, in order: a run starts in the tick after which the game scene is
    current, and finishes in the tick after which the title is back, when that tick did not set the
    quit flag. 'cleared' when the tick before was in the ending phase (2)."""
    runs, previous_scene, previous_phase, start = [], "title", None, None
    for line in trace_lines:
        tick = json.loads(line)
        scene = tick["scene"]
        if previous_scene == "title" and scene == "game":
            start = tick["tick"]
        elif previous_scene == "game" and scene == "title":
            if start is not None and tick["quit"] == 0:
                runs.append({"score": tick["game"]["score"], "mode": "hard" if tick["game"]["hard"] else "normal",
                             "cleared": previous_phase == 2, "ticks": tick["tick"] - start})
            start = None
        if scene == "game":
            previous_phase = tick["game"]["phase"]
        previous_scene = scene
    return runs


def best_run(runs):
    best = None
    for run in runs:
        if best is None or run["score"] > best["score"]:
            best = run
    return best


def golden_lines(options, name):
    with gzip.open(os.path.join(options.replays, name + ".trace.gz"), "rt") as trace:
        return trace.read().splitlines()


def replayed_lines(options, script_text, work):
    """The trace the replay tool writes for a script, in the data folder."""
    script_path = os.path.join(work, "changed.script")
    trace_path = os.path.join(work, "changed.trace")
    with open(script_path, "w") as script:
        script.write(script_text)
    subprocess.run([options.replay, script_path, trace_path], cwd=options.data, stdout=subprocess.DEVNULL,
                   check=True)
    with open(trace_path) as trace:
        return trace.read().splitlines()


def late_game_over(options, variant):
    """A short run that finishes: game_over.script with every tick late (undrawn, so quick to verify)
    and 'variant' idle ticks on the title before it, which makes each variant a different script."""
    lines = [f"# variant {variant}", f"~ {variant}"]
    for line in read_script(options, "game_over").splitlines():
        entry = line.split("#")[0].split()
        if entry:
            keys = entry[0].replace("-", "") + "~"
            lines.append(" ".join([keys] + entry[1:]))
    return "\n".join(lines) + "\n"


# ---- runs


def test_runs(options, work):
    db = database(options, work, "runs")
    site = os.path.join(work, "site")
    os.makedirs(site)
    with open(os.path.join(site, "index.html"), "w") as page:
        page.write("<!DOCTYPE html><title>the game</title>\n")
    server = Server(options, db.url, work, extra=["--site", site])
    server.start()
    port = server.port
    stored = {}

    # The whole runs: the score their golden trace ends with, and the run the trace shows.
    for name in ["full_normal_run", "full_hard_run", "game_over"]:
        lines = golden_lines(options, name)
        expected = best_run(finished_runs(lines))
        require(expected is not None, f"{name}'s golden trace shows no finished run")
        final = json.loads(lines[-1])
        check(expected["score"] == final["game"]["score"], f"{name}: the finished run's score is the trace's last")
        script = read_script(options, name)

        status, _, body = submit(port, script, name, claimed=expected["score"] + 1)
        check(status == 422, f"{name} with a wrong claimed score: {status} {body!r}")
        status, headers, body = submit(port, script, name, claimed=expected["score"])
        check(status == 201, f"{name}: {status} {body!r}")
        answer = json.loads(body)
        for key in ["score", "mode", "cleared", "ticks"]:
            check(answer.get(key) == expected[key], f"{name}: {key} {answer.get(key)!r}, the trace says {expected[key]!r}")
        check(list(answer) == ["id", "name", "score", "mode", "cleared", "ticks", "rank"], f"{name}: keys {list(answer)}")
        check(headers.get("location") == f"/api/runs/{answer['id']}", f"{name}: Location {headers.get('location')}")
        stored[name] = (answer["id"], script, expected)

        # The same script again, and with other comments: the same run.
        for again in [script, "# sent once more\n" + script.replace("\n", "   # again\n", 3)]:
            status, _, body = submit(port, again, "someone else")
            check(status == 200 and json.loads(body)["id"] == answer["id"] and json.loads(body)["name"] == name,
                  f"{name} sent again: {status} {body!r}")

    # One key changed: the start pressed with button 3 makes it a hard run, which gives its own score;
    # another change loses the run before the script ends, which is refused.
    normal = read_script(options, "full_normal_run").split("\n")
    original = stored["full_normal_run"][2]
    for line_number, keys in [(7, "13"), (301, "L")]:
        changed = list(normal)
        require(changed[line_number - 1] in ("1", "U12"), f"full_normal_run.script line {line_number} is {changed[line_number - 1]!r}")
        changed[line_number - 1] = keys
        text = "\n".join(changed)
        expected = best_run(finished_runs(replayed_lines(options, text, work)))
        check(expected != original, f"line {line_number} changed: the replay tool gives the old run")
        status, _, body = submit(port, text, "changed")
        if expected is None:
            check(status == 422 and "no run" in json.loads(body)["error"],
                  f"line {line_number} changed, no finished run: {status} {body!r}")
        else:
            answer = json.loads(body)
            check(status == 201 and all(answer[k] == expected[k] for k in expected),
                  f"line {line_number} changed: {status} {body!r}, the replay tool gives {expected}")
            stored["changed"] = (answer["id"], text, expected)

    # Equal scores: the earlier submission ranks first.
    first = submit(port, late_game_over(options, 1), "tie first")
    second = submit(port, late_game_over(options, 2), "tie second")
    check(first[0] == 201 and second[0] == 201, f"the two ties: {first[0]} {second[0]}")
    tie_first, tie_second = json.loads(first[2]), json.loads(second[2])
    check(tie_first["score"] == tie_second["score"] == 0 and tie_second["rank"] == tie_first["rank"] + 1,
          f"ties: {tie_first} then {tie_second}")

    # Reading: both modes best first, numbers as numbers.
    for mode in ["normal", "hard"]:
        status, runs = get_json(port, f"/api/scores?mode={mode}&limit=100")
        check(status == 200 and isinstance(runs, list) and runs, f"/api/scores?mode={mode}: {status}")
        expected_ids = [answer_id for answer_id, _, run in stored.values() if run["mode"] == mode]
        check(sorted(r["id"] for r in runs if r["id"] in expected_ids) == sorted(expected_ids),
              f"{mode}: the stored runs are listed")
        for position, run in enumerate(runs, 1):
            check(list(run) == ["rank", "id", "name", "score", "mode", "cleared", "ticks", "date"], f"keys {list(run)}")
            check(run["rank"] == position and run["mode"] == mode, f"{mode} row {position}: {run}")
            check(all(type(run[k]) is int for k in ["rank", "id", "score", "ticks"]) and type(run["cleared"]) is bool,
                  f"{mode} row {position}: types {run}")
            check(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", run["date"]), f"date {run['date']}")
        check([(-r["score"], r["id"]) for r in runs] == sorted((-r["score"], r["id"]) for r in runs),
              f"{mode}: best score first, ties to the earlier")
    status, runs = get_json(port, "/api/scores?mode=normal&limit=1")
    check(status == 200 and len(runs) == 1 and runs[0]["id"] == stored["full_normal_run"][0], "limit=1")

    for name, (run_id, script, expected) in stored.items():
        status, run = get_json(port, f"/api/runs/{run_id}")
        check(status == 200 and run["id"] == run_id and run["score"] == expected["score"], f"/api/runs/{run_id}: {run}")
        status, headers, body = request(port, "GET", f"/api/runs/{run_id}/script")
        check(status == 200 and body == script.encode() and headers["content-type"].startswith("text/plain"),
              f"/api/runs/{run_id}/script is the script as it was sent")

    # The page: rows that watch each run in the site, which is served too.
    status, headers, page = request(port, "GET", "/scores")
    page = page.decode()
    check(status == 200 and headers["content-type"].startswith("text/html"), f"/scores: {status}")
    for name, (run_id, _, _) in stored.items():
        check(f'href="/?run={run_id}"' in page, f"/scores links /?run={run_id}")
    status, _, body = request(port, "GET", "/?run=1")
    check(status == 200 and b"the game" in body, f"the site at /: {status}")
    server.stop()


# ---- bad_input


def bad_input_table(options, port):
    """(what, how to send it, expected status, a word the error line must hold or None)."""
    game_over = read_script(options, "game_over")
    kept = game_over.split("\n")
    runs_out = "\n".join(kept[:8]) + "\n"  # the start and the first 1450 ticks: the run is still on
    quits = runs_out + "E\n"
    head = "POST /api/runs?name=x HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/plain\r\n"

    def post(body, name="player", content_type="text/plain; charset=UTF-8", query=None):
        path = "/api/runs?" + (query if query is not None else "name=" + urllib.parse.quote(name, safe=""))
        headers = {} if content_type is None else {"Content-Type": content_type}
        return lambda: request(port, "POST", path, body.encode() if isinstance(body, str) else body, headers)

    def get(path):
        return lambda: request(port, "GET", path)

    # A request whose body is never sent: an answer within a few seconds shows it was refused unread.
    def unread(extra_headers):
        def send():
            answer, _ = raw_exchange(port, (head + extra_headers + "\r\n").encode(), read_for=4)
            return status_of(answer), {}, answer.partition(b"\r\n\r\n")[2]
        return send

    return [
        ("a body over 64 KiB, refused before it is read", unread("Content-Length: 65537\r\n"), 413, "larger"),
        ("a chunked body", unread("Transfer-Encoding: chunked\r\n"), 411, "chunked"),
        ("no Content-Length", unread(""), 411, "Content-Length"),
        ("a gzip Content-Encoding", unread("Content-Length: 20\r\nContent-Encoding: gzip\r\n"), 415, "Encoding"),
        ("an identity Content-Encoding", unread("Content-Length: 20\r\nContent-Encoding: identity\r\n"), 415, None),
        ("two Content-Lengths", unread("Content-Length: 20\r\nContent-Length: 21\r\n"), 400, None),
        ("more than 36,000 ticks", post("- 30000\n1\n- 6000\n"), 422, "36000"),
        ("a malformed line", post("1\n- 5\n1 X\n"), 400, "line 3"),
        ("a count of 0", post("# a comment\n- 0\n"), 400, "line 2"),
        ("an unknown key", post("1\nZ\n"), 400, "line 2"),
        ("binary", post(bytes(range(256)) * 4), 400, "UTF-8"),
        ("a NUL in a comment", post(b"# \x00\n1\n"), 400, "UTF-8"),
        ("invalid UTF-8 in a comment", post(b"# \xc3\x28\n1\n"), 400, "UTF-8"),
        ("an empty body", post(""), 400, "empty"),
        ("no finished run: the script runs out", post(runs_out), 422, "no run"),
        ("no finished run: Escape", post(quits), 422, "no run"),
        ("no finished run: the close event", post(runs_out + "Q\n"), 422, "no run"),
        ("the run is over but Escape in the same tick", post(game_over.replace("R 36", "R 31\nRE")), 422, "no run"),
        ("a claimed score the replay does not give", post(game_over, query="name=x&claimed=5"), 422, "claimed"),
        ("a claimed score that is no score", post(game_over, query="name=x&claimed=70000"), 400, "claimed"),
        ("a claimed score that is no number", post(game_over, query="name=x&claimed=1e3"), 400, "claimed"),
        ("JSON", post(game_over, content_type="application/json"), 415, "text/plain"),
        ("HTML", post(game_over, content_type="text/html"), 415, None),
        ("another charset", post(game_over, content_type="text/plain; charset=latin1"), 415, None),
        ("a form", post(game_over, content_type="multipart/form-data; boundary=x"), 415, None),
        ("no content type", post(game_over, content_type=None), 415, None),
        ("no name", post(game_over, query=""), 400, "name"),
        ("two names", post(game_over, query="name=a&name=b"), 400, "name"),
        ("an empty name", post(game_over, name=""), 400, "empty"),
        ("a name of blanks", post(game_over, name=" \t\u3000 "), 400, "empty"),
        ("a name of 21 characters", post(game_over, name="é" * 21), 400, "longer"),
        ("a name that is not UTF-8", post(game_over, query="name=ab%FF"), 400, "UTF-8"),
        ("an overlong UTF-8 name", post(game_over, query="name=%C0%AF"), 400, "UTF-8"),
        ("a control character in the name", post(game_over, name="a\x01b"), 400, "control"),
        ("a line feed inside the name", post(game_over, name="a\nb"), 400, "control"),
        ("a C1 control in the name", post(game_over, name="a\u0085b"), 400, "control"),
        ("a right-to-left override in the name", post(game_over, name="a\u202eb"), 400, "control"),
        ("a POST to another place", lambda: request(port, "POST", "/api/scores", b"x", {"Content-Type": "text/plain"}),
         404, None),
        ("an unknown run", get("/api/runs/999999"), 404, "no such run"),
        ("an unknown run's script", get("/api/runs/999999/script"), 404, "no such run"),
        ("a run id that is no number", get("/api/runs/abc"), 404, None),
        ("a negative run id", get("/api/runs/-1"), 404, None),
        ("a run id past 64 bits", get("/api/runs/123456789012345678901234"), 404, None),
        ("an unknown mode", get("/api/scores?mode=easy"), 400, "mode"),
        ("a mode made to break SQL", get("/api/scores?mode=normal'--"), 400, "mode"),
        ("a limit of 0", get("/api/scores?limit=0"), 400, "limit"),
        ("a limit of 101", get("/api/scores?limit=101"), 400, "limit"),
        ("a limit that is no number", get("/api/scores?limit=ten"), 400, "limit"),
        ("an unknown page", get("/nothing/here"), 404, None),
        ("a request line over 8 KiB", get("/api/scores?x=" + "a" * 9000), 414, None),
    ]


def test_bad_input(options, work):
    db = database(options, work, "bad_input")
    server = Server(options, db.url, work)
    server.start()
    port = server.port

    for what, send, expected_status, word in bad_input_table(options, port):
        try:
            status, _, body = send()
        except OSError as error:
            check(False, f"{what}: {error!r}")
            continue
        line = error_line_of(b"\r\n\r\n" + body)
        check(status == expected_status and line is not None and (word is None or word in line),
              f"{what}: {status} {body[:200]!r}, expected {expected_status} with {word!r}")
    check(row_count(db) == 0, "nothing of the bad requests was stored")

    # Clients that send slowly or never finish each hold one worker until their timeout or deadline,
    # while everyone else is answered.
    def trickle(sock, elapsed):  # a byte of a header each second: never idle for a whole read timeout
        if int(elapsed) > trickle.sent.get(sock, -1):
            trickle.sent[sock] = int(elapsed)
            try:
                sock.sendall(b"a")
            except OSError:
                pass
    trickle.sent = {}
    slow_head = b"POST /api/runs?name=slow HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: "
    outcomes = {}

    def hold(kind, index):
        started = time.monotonic()
        answer, closed_after = raw_exchange(port, slow_head, read_for=20,
                                            keep_sending=trickle if kind == "trickle" else None)
        outcomes[(kind, index)] = (closed_after, answer, time.monotonic() - started)
    holders = [threading.Thread(target=hold, args=(kind, i)) for kind in ["trickle", "silent"] for i in range(6)]
    for holder in holders:
        holder.start()
    time.sleep(0.5)
    slowest = 0.0
    answered = 0
    while any(holder.is_alive() for holder in holders):
        started = time.monotonic()
        status, _, _ = request(port, "GET", "/api/scores?mode=hard", timeout=10)
        slowest = max(slowest, time.monotonic() - started)
        answered += status == 200
        time.sleep(0.3)
    for holder in holders:
        holder.join()
    check(answered >= 10 and slowest < 2.0, f"answered {answered} reads while slow clients held on, slowest {slowest:.2f} s")
    for (kind, index), (closed_after, answer, _) in sorted(outcomes.items()):
        # The silent ones go after the read timeout (5 s), the trickling ones at the deadline (10 s).
        limit = 8 if kind == "silent" else 13
        check(closed_after is not None and closed_after < limit,
              f"a {kind} client was let go after {closed_after} s (within {limit} s expected)")
        check(kind == "silent" or closed_after is None or closed_after > 8,
              f"a trickling client was let go after {closed_after} s, before its deadline")
        check(status_of(answer) in (None, 400, 408), f"a {kind} client's answer {answer[:60]!r}")

    # Many connections at once from one address: past 32, each is answered 429 at once.
    idle = [socket.create_connection(("127.0.0.1", port)) for _ in range(32)]
    time.sleep(0.5)
    started = time.monotonic()
    answer, _ = raw_exchange(port, b"GET /api/scores HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", read_for=3)
    check(status_of(answer) == 429 and error_line_of(answer) and time.monotonic() - started < 1.0,
          f"the 33rd connection from one address: {answer[:80]!r}")
    for sock in idle:
        sock.close()
    time.sleep(0.5)

    # Many requests at once: each is answered, with its result or a refusal, and none is lost.
    results = []
    def read_once():
        try:
            results.append(request(port, "GET", "/api/scores", timeout=20)[0])
        except OSError as error:
            results.append(repr(error))
    readers = [threading.Thread(target=read_once) for _ in range(64)]
    for reader in readers:
        reader.start()
    for reader in readers:
        reader.join()
    check(all(result in (200, 429) for result in results) and results.count(200) >= 32,
          f"64 reads at once: {sorted(map(str, results))}")

    # Names made to break SQL or HTML are stored as they are and escaped where they are shown.
    hostile = ["';DROP TABLE runs;--", "<b>&amp;\"'</b>", "  trimmed  ", "é" * 20]
    for variant, name in enumerate(hostile, 1):
        status, _, body = submit(port, late_game_over(options, variant), name)
        check(status == 201 and json.loads(body)["name"] == name.strip(), f"the name {name!r}: {status} {body!r}")
    status, runs = get_json(port, "/api/scores?mode=normal")
    check(status == 200 and sorted(r["name"] for r in runs) == sorted(n.strip() for n in hostile),
          f"the names as stored: {runs}")
    _, _, page = request(port, "GET", "/scores")
    page = page.decode()
    check("&lt;b&gt;&amp;amp;&quot;&#39;&lt;/b&gt;" in page and "<b>" not in page, "the page escapes the names")
    check(row_count(db) == len(hostile), "the runs table is whole")
    server.stop()

    # A flood from one address: every POST counts, refused ones too; reads never do.
    limited = Server(options, db.url, work, name="limited", extra=["--limit-per-minute", "3"])
    limited.start()
    limited_port = limited.port
    # --limit-per-minute 0 comes first in the command line; the later 3 is the one that counts.
    for _ in range(5):
        check(request(limited_port, "GET", "/api/scores")[0] == 200, "reads are not limited")
    for _ in range(3):
        check(submit(limited_port, "", "flood")[0] == 400, "an empty submission is refused with 400")
    status, headers, body = submit(limited_port, late_game_over(options, 99), "flood")
    check(status == 429 and error_line_of(b"\r\n\r\n" + body), f"the fourth POST in a minute: {status} {body!r}")
    check(request(limited_port, "GET", "/api/scores")[0] == 200, "reads go on while submissions are limited")
    check(row_count(db) == len(hostile), "nothing of the flood was stored")
    limited.stop()


# ---- kill


def test_kill(options, work, servers_wanted):
    """200 runs from 16 clients; SIGKILL to the first server when about a third are acknowledged, then
    a restart. Then the same script sent from several clients at once, to every server."""
    db = database(options, work, "kill_two" if servers_wanted == 2 else "kill")
    servers = [Server(options, db.url, work, name=f"server{i}") for i in range(servers_wanted)]
    for server in servers:
        server.start()
    total = 200
    names = [f"k{i:03d}" for i in range(1, total + 1)]
    scripts = {name: late_game_over(options, i) for i, name in enumerate(names, 1)}
    lock = threading.Lock()
    waiting = list(names)
    answers = {}       # name -> list of (status, id)
    created = {}       # name -> the id of its 201
    failed = []        # names whose request found no server or lost it
    killed = threading.Event()
    give_up = time.monotonic() + 300

    def client(number):
        attempt = number
        while True:
            with lock:
                if not waiting:
                    return
                name = waiting.pop(0)
            while time.monotonic() < give_up:
                server = servers[attempt % len(servers)]
                attempt += 1
                try:
                    status, _, body = submit(server.port, scripts[name], name)
                except (OSError, http.client.HTTPException):
                    with lock:
                        failed.append(name)
                    time.sleep(0.05)  # the server is down, or went down with this request in flight
                    continue
                if status not in (200, 201):
                    # Turned away for now: more connections from this address than it may have at once.
                    check(status == 429, f"{name}: {status} {body!r}")
                    time.sleep(0.05)
                    continue
                answer = json.loads(body)
                with lock:
                    answers.setdefault(name, []).append((status, answer["id"]))
                    if status == 201:
                        check(name not in created, f"{name} was created twice")
                        created[name] = answer["id"]
                break

    clients = [threading.Thread(target=client, args=(i,)) for i in range(16)]
    for thread in clients:
        thread.start()
    while len(answers) < total // 3 and time.monotonic() < give_up:
        time.sleep(0.01)
    servers[0].kill()
    killed.set()
    with lock:
        acknowledged_before = len(created)
    time.sleep(0.5)
    servers[0].start()
    for thread in clients:
        thread.join()
    print(f"killed after {acknowledged_before} runs were acknowledged; {len(set(failed))} runs had a request fail "
          f"and sent it again; {sum(1 for n in set(failed) if answers.get(n) and answers[n][0][0] == 200)} of "
          "those had been stored before the kill, unacknowledged", flush=True)
    check(len(answers) == total, f"{len(answers)} of {total} runs were acknowledged in the end")
    check(0 < acknowledged_before < total, f"the kill came in the middle ({acknowledged_before} acknowledged before)")

    rows = db.rows("SELECT name, count(*), min(id) FROM runs GROUP BY name")
    stored = {name: (int(count), int(run_id)) for name, count, run_id in rows}
    check(sorted(stored) == sorted(names), f"the stored names are the 200 sent ({len(stored)} stored)")
    for name in names:
        count, run_id = stored.get(name, (0, None))
        check(count == 1, f"{name} is stored {count} times")
        if name in created:
            check(run_id == created[name], f"{name}: acknowledged as {created[name]}, stored as {run_id}")
        for status, answer_id in answers.get(name, []):
            check(answer_id == run_id, f"{name}: answered with id {answer_id}, stored as {run_id}")

    # One new script from 8 clients at once, to every server: one 201, the same id for all.
    racing = late_game_over(options, 1000)
    results = []
    def race(number):
        port = servers[number % len(servers)].port
        status, _, body = submit(port, racing, f"race{number}")
        results.append((status, json.loads(body).get("id")))
    racers = [threading.Thread(target=race, args=(i,)) for i in range(8)]
    for racer in racers:
        racer.start()
    for racer in racers:
        racer.join()
    check(sorted(status for status, _ in results) == [200] * 7 + [201] and len({i for _, i in results}) == 1,
          f"the same script from 8 clients at once: {results}")

    for server in servers:
        server.stop()
    check(row_count(db) == total + 1, f"{row_count(db)} rows, {total + 1} expected")
    check(db.integrity(), "the database passes its integrity check")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--replay", required=True)
    parser.add_argument("--replays", required=True)
    parser.add_argument("--backend", choices=["sqlite", "postgres"], required=True)
    parser.add_argument("--cluster")
    parser.add_argument("test", choices=["runs", "bad_input", "kill", "kill_two"])
    options = parser.parse_args()
    for path in ["server", "data", "replay", "replays", "cluster"]:
        if getattr(options, path):
            setattr(options, path, os.path.abspath(getattr(options, path)))
    if options.backend == "postgres":
        require(options.cluster and os.path.exists(options.cluster),
                "no PostgreSQL cluster: run the server.postgres_start test first (ctest does)")
    with tempfile.TemporaryDirectory(prefix="vorpaline-scores-test.") as work:
        try:
            if options.test == "runs":
                test_runs(options, work)
            elif options.test == "bad_input":
                test_bad_input(options, work)
            else:
                test_kill(options, work, 2 if options.test == "kill_two" else 1)
        except SystemExit:
            raise
        except Exception as error:
            FAILURES.append(repr(error))
            raise
        finally:
            Server.kill_leftovers()
            if FAILURES:
                for path in sorted(os.listdir(work)):
                    if path.endswith(".log"):
                        with open(os.path.join(work, path), errors="replace") as log:
                            print(f"--- {path} (end):\n{log.read()[-2000:]}")
    if FAILURES:
        print(f"{len(FAILURES)} checks failed")
        return 1
    print(f"{options.test} ({options.backend}): every check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
