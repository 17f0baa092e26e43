#!/usr/bin/python3
"""A time-stamp authority for the signing tests (RFC 3161 over HTTP, answered by `openssl ts`).

    tsa.py CONFIG PORT_FILE

Listens on 127.0.0.1 on a free port, writes the port to PORT_FILE, and answers every POSTed
time-stamp query with the reply `openssl ts -reply -config CONFIG` makes.
"""
import http.server
import subprocess
import sys
import tempfile

MAX_QUERY = 64 * 1024


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        if length <= 0 or length > MAX_QUERY:
            self.send_error(400, "bad query length")
            return
        query = self.rfile.read(length)
        with tempfile.NamedTemporaryFile() as q, tempfile.NamedTemporaryFile() as r:
            q.write(query)
            q.flush()
            made = subprocess.run(["openssl", "ts", "-reply", "-config", self.server.config,
                                   "-queryfile", q.name, "-out", r.name],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            if made.returncode != 0:
                sys.stderr.write(made.stderr.decode(errors="replace"))
                self.send_error(500, "openssl ts failed")
                return
            reply = r.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, fmt, *args):
        sys.stderr.write("tsa: " + fmt % args + "\n")


def main(argv):
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    server.config = argv[1]
    with open(argv[2] + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.replace(argv[2] + ".tmp", argv[2])
    server.serve_forever()


if __name__ == "__main__":
    main(sys.argv)
