#!/usr/bin/env python3
"""Scripted HTTP server on 127.0.0.1 for the network tests.

  http_server.py start DIR   starts the server in the background; it writes
                             DIR/port and DIR/pid and ends itself after ten
                             idle minutes
  http_server.py stop DIR    stops the server whose pid DIR/pid holds

The path of a request picks the answer:
  /list          the update list, header and body in one write
  /list-split    header, a pause, then the body (two writes)
  /missing       404 with a body
  /nul           a 200 body holding a NUL byte
  /big-header    a header longer than 81,000 bytes
  /header-only   a header and no body
  /silent        accepts, reads the request, answers nothing for 30 s
  /echo          the request bytes as received, as the body
  /download      a binary body with NUL bytes, Content-Length set, sent in
                 small pieces so the header end falls across receives
  /short         Content-Length larger than the body, then close
  /list-held     the update list with Content-Length, then 10 s without
                 closing
  /download-held the download body with Content-Length, then 10 s without
                 closing
  /morvane/updates.txt
                 the path the real program asks for: the bytes of
                 DIR/updates.txt when a test has put that file there, else a
                 list naming an older version than any build, so that no
                 notice interrupts a scenario

Every request line is appended to DIR/requests.log, so that a test can tell
whether (and how often) a program asked.
"""
import os
import signal
import socket
import sys
import threading
import time

UPDATE_LIST = b"9.1.0#/files/morvane-9.1.exe\r\n#First note\r\nno hash here\r\na#b#Third field\r\n"
OLD_LIST = b"0.1.0#/files/morvane-0.1.exe\r\n#An old release\r\n"
DOWNLOAD = bytes(range(256)) * 40 + b"\r\n\r\nafter a blank line\x00end"

last_activity = time.monotonic()


def read_request(conn):
    data = b""
    conn.settimeout(10)
    while b"\r\n\r\n" not in data and len(data) < 65536:
        chunk = conn.recv(4096)
        if not chunk:
            break
        data += chunk
    return data


def answer(conn, request, directory):
    line = request.split(b"\r\n", 1)[0].decode("latin-1")
    parts = line.split(" ")
    path = parts[1] if len(parts) > 1 else "/"
    ok = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
    if path == "/list":
        conn.sendall(ok + UPDATE_LIST)
    elif path == "/morvane/updates.txt":
        try:
            with open(os.path.join(directory, "updates.txt"), "rb") as f:
                body = f.read()
        except OSError:
            body = OLD_LIST
        conn.sendall(ok + body)
    elif path == "/list-split":
        conn.sendall(ok)
        time.sleep(0.3)
        conn.sendall(UPDATE_LIST)
    elif path == "/missing":
        conn.sendall(b"HTTP/1.0 404 Not Found\r\n\r\n9.9.9#/evil.exe\r\nnot the list\r\n")
    elif path == "/nul":
        conn.sendall(ok + b"before\r\nhalf\x00after\r\nlost\r\n")
    elif path == "/big-header":
        conn.sendall(b"HTTP/1.0 200 OK\r\nX-Padding: " + b"x" * 81000 + b"\r\n\r\n1.0#/a\r\n")
    elif path == "/header-only":
        conn.sendall(ok)
    elif path == "/silent":
        time.sleep(30)
    elif path == "/echo":
        conn.sendall(ok + request)
    elif path in ("/download", "/files/morvane-9.1.exe"):
        head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(DOWNLOAD)
        whole = head + DOWNLOAD
        # Split so that CR LF CR LF straddles two sends.
        cut = len(head) - 2
        conn.sendall(whole[:cut])
        time.sleep(0.2)
        for i in range(cut, len(whole), 1000):
            conn.sendall(whole[i:i + 1000])
            time.sleep(0.01)
    elif path == "/list-held":
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(UPDATE_LIST) + UPDATE_LIST)
        time.sleep(10)
    elif path == "/download-held":
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(DOWNLOAD) + DOWNLOAD)
        time.sleep(10)
    elif path == "/short":
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + b"partial")
    else:
        conn.sendall(b"HTTP/1.0 404 Not Found\r\n\r\n")


log_lock = threading.Lock()


def handle(conn, directory):
    global last_activity
    try:
        request = read_request(conn)
        last_activity = time.monotonic()
        if request:
            with log_lock, open(os.path.join(directory, "requests.log"), "ab") as log:
                log.write(request.split(b"\r\n", 1)[0] + b"\n")
            answer(conn, request, directory)
    except OSError:
        pass
    finally:
        try:
            conn.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        conn.close()


def serve(directory):
    srv = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    srv.bind(("127.0.0.1", 0))
    srv.listen(16)
    srv.settimeout(1.0)
    port = srv.getsockname()[1]
    tmp = os.path.join(directory, "port.tmp")
    with open(tmp, "w") as f:
        f.write(str(port))
    os.replace(tmp, os.path.join(directory, "port"))
    while time.monotonic() - last_activity < 600:
        try:
            conn, _ = srv.accept()
        except socket.timeout:
            continue
        threading.Thread(target=handle, args=(conn, directory), daemon=True).start()


def start(directory):
    os.makedirs(directory, exist_ok=True)
    for name in ("port", "pid", "requests.log", "updates.txt"):
        try:
            os.remove(os.path.join(directory, name))
        except FileNotFoundError:
            pass
    pid = os.fork()
    if pid == 0:
        os.setsid()
        # No inherited pipe may stay open: ctest waits for them to close.
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        with open(os.path.join(directory, "pid"), "w") as f:
            f.write(str(os.getpid()))
        serve(directory)
        os._exit(0)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if os.path.exists(os.path.join(directory, "port")):
            print("http server on 127.0.0.1:" + open(os.path.join(directory, "port")).read())
            return 0
        time.sleep(0.02)
    print("http server did not start", file=sys.stderr)
    return 1


def stop(directory):
    try:
        pid = int(open(os.path.join(directory, "pid")).read())
    except (OSError, ValueError):
        return 0
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
