#!/usr/bin/env python3
"""A scheduler that goes down in the middle of a print, for the end-to-end tests.

    ipp_cut_proxy.py LISTEN_SOCKET SCHEDULER_SOCKET LOG_FILE [--after-request | --stop PID]
                     [--down SECONDS] [OPERATION...]

Listens on a unix socket of its own and passes every connection through to
the real scheduler's socket, byte for byte, in both directions. It reads the
HTTP requests that the client sends; when the IPP body of one of them names
an operation that hands over a job (by default any of Print-Job, Create-Job
and Send-Document; else those named), both sides of that connection are cut
before the operation reaches the scheduler, and a line "cut OPERATION" goes
to the log file. Every other request (printer look-ups, Cancel-Job ...) goes
through untouched. With --after-request the request to cut is first read
whole (and dropped), so the client has sent all of it and loses only the
answer. With --stop PID nothing is cut: at the first such operation the
scheduler's process is stopped (SIGSTOP, "stopped OPERATION" in the log) and
the request goes on to it, as when the scheduler hangs in the middle of a
print; every request after it goes through. With --down SECONDS
connections within SECONDS of a cut are closed at once, as while a
scheduler restarts.

An IPP request body starts with the version (2 bytes) and the operation
(2 bytes, big-endian); a body sent in chunks starts with a chunk-size line.
"""
import os
import signal
import socket
import sys
import threading
import time

JOB_OPERATIONS = {0x0002: "Print-Job", 0x0005: "Create-Job", 0x0006: "Send-Document"}
IPP_HEADER = 4
# What the command line chose: the operations to cut at, and when.
CUT_OPERATIONS = set(JOB_OPERATIONS.values())
AFTER_REQUEST = False
STOP_PID = None
STOP_ONCE = False  # with --stop: everything after the stop goes through
LOG_PATH = None
DOWN_SECONDS = 0.0
DOWN_UNTIL = 0.0


class Cut(Exception):
    """The connection is cut at a job operation."""


class Stream:
    """Buffered reading from the client, forwarding what has been judged."""

    def __init__(self, client, scheduler):
        self.client = client
        self.scheduler = scheduler
        self.buffer = b""
        # The operation at which this connection is to be cut, once judged.
        self.cut_at = None

    def fill(self):
        data = self.client.recv(65536)
        if not data:
            raise EOFError
        self.buffer += data

    def peek(self, count):
        while len(self.buffer) < count:
            self.fill()
        return self.buffer[:count]

    def line(self):
        while b"\r\n" not in self.buffer:
            self.fill()
        return self.buffer[: self.buffer.index(b"\r\n") + 2]

    def forward(self, count):
        """Sends the next count bytes on (or drops them), reading them as they come."""
        while count > 0:
            if not self.buffer:
                self.fill()
            piece, self.buffer = self.buffer[:count], self.buffer[count:]
            if self.cut_at is None:
                self.scheduler.sendall(piece)
            count -= len(piece)


def header_block(stream):
    while b"\r\n\r\n" not in stream.buffer:
        stream.fill()
    return stream.buffer[: stream.buffer.index(b"\r\n\r\n") + 4]


def header_fields(block):
    fields = {}
    for line in block.decode("latin-1").split("\r\n")[1:]:
        name, _, value = line.partition(":")
        fields[name.strip().lower()] = value.strip().lower()
    return fields


def judge(stream, payload_start):
    """Cuts (now, or once the request is read) when the IPP header names an operation to cut at."""
    if len(payload_start) >= IPP_HEADER:
        name = JOB_OPERATIONS.get(int.from_bytes(payload_start[2:4], "big"))
        if name in CUT_OPERATIONS and STOP_PID is not None:
            stop_scheduler(name)
        elif name in CUT_OPERATIONS and not STOP_ONCE:
            stream.cut_at = name
            if not AFTER_REQUEST:
                raise Cut(name)


def stop_scheduler(name):
    """Stops the scheduler once, at the first operation chosen."""
    global STOP_PID
    os.kill(STOP_PID, signal.SIGSTOP)
    STOP_PID = None
    with open(LOG_PATH, "a", encoding="ascii") as log:
        log.write(f"stopped {name}\n")


def pass_chunked_body(stream):
    first = True
    while True:
        size_line = stream.line()
        size = int(size_line.split(b";")[0], 16)
        if first and size > 0:
            judge(stream, stream.peek(len(size_line) + min(size, IPP_HEADER))[len(size_line) :])
            first = False
        # The chunk, its closing CRLF; the last (empty) chunk ends with a CRLF too.
        stream.forward(len(size_line) + size + 2)
        if size == 0:
            return


def pass_request(stream):
    block = header_block(stream)
    stream.forward(len(block))
    fields = header_fields(block)
    if "chunked" in fields.get("transfer-encoding", ""):
        pass_chunked_body(stream)
    else:
        length = int(fields.get("content-length", "0"))
        if length > 0:
            judge(stream, stream.peek(min(length, IPP_HEADER)))
        stream.forward(length)
    if stream.cut_at is not None:
        raise Cut(stream.cut_at)


def client_to_scheduler(client, scheduler, log_path):
    stream = Stream(client, scheduler)
    try:
        while True:
            pass_request(stream)
    except Cut as cut:
        global DOWN_UNTIL
        DOWN_UNTIL = time.monotonic() + DOWN_SECONDS
        with open(log_path, "a", encoding="ascii") as log:
            log.write(f"cut {cut}\n")
    except (EOFError, OSError):
        pass
    finally:
        close_both(client, scheduler)


def scheduler_to_client(scheduler, client):
    try:
        while data := scheduler.recv(65536):
            client.sendall(data)
    except OSError:
        pass
    finally:
        close_both(client, scheduler)


def close_both(*connections):
    for connection in connections:
        try:
            connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        connection.close()


def serve(listen_path, scheduler_path, log_path):
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(listen_path)
    os.chmod(listen_path, 0o777)
    listener.listen()
    while True:
        client, _ = listener.accept()
        if time.monotonic() < DOWN_UNTIL:
            close_both(client)
            continue
        scheduler = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            scheduler.connect(scheduler_path)
        except OSError:
            close_both(client, scheduler)
            continue
        threading.Thread(target=scheduler_to_client, args=(scheduler, client), daemon=True).start()
        threading.Thread(
            target=client_to_scheduler, args=(client, scheduler, log_path), daemon=True
        ).start()


if __name__ == "__main__":
    options = sys.argv[4:]
    AFTER_REQUEST = "--after-request" in options
    if "--stop" in options:
        at = options.index("--stop")
        STOP_PID = int(options[at + 1]) if at + 1 < len(options) else None
        STOP_ONCE = True
        options = options[:at] + options[at + 2 :]
    if "--down" in options:
        at = options.index("--down")
        DOWN_SECONDS, options = float(options[at + 1]), options[:at] + options[at + 2 :]
    operations = set(options) - {"--after-request"}
    if len(sys.argv) < 4 or not operations <= CUT_OPERATIONS or ("--stop" in sys.argv and not STOP_PID):
        sys.exit(
            "usage: ipp_cut_proxy.py LISTEN_SOCKET SCHEDULER_SOCKET LOG_FILE "
            "[--after-request | --stop PID] [--down SECONDS] [OPERATION...]"
        )
    LOG_PATH = sys.argv[3]
    CUT_OPERATIONS = operations or CUT_OPERATIONS
    serve(*sys.argv[1:4])
