#!/usr/bin/python3
"""Local stand-in for the vendor's three servers (web site, configuration API, statistics).

Standard library only; TLS material is made with the openssl command at start-up. See
README.md beside this file for the endpoints, scenarios and files.

  server.py --state DIR [--port N] [--scenario NAME] [--www DIR] [--daemon] [--watch-parent]
  server.py --state DIR --stop
"""

import argparse
import base64
import hashlib
import http.server
import json
import os
import shutil
import signal
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import traceback
import urllib.parse

REPORT_KEY = b"N5&h8W1?7y4T#9Cs"
REPORT_SALT = b"3c7d0b91fe26a458"
# 1x1 transparent GIF: what a statistics host answers.
PIXEL = bytes.fromhex("47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b")

CONFIG_NORMAL = {"flashVersion": "32.0.0.171", "country": True, "helperVersion": "2.0.1.3", "ip": "203.0.113.7"}
# Each scenario: (status, content type, body, delay in seconds).
HOLD_LIMIT = 30

SCENARIOS = {
    "normal": (200, "application/json", json.dumps(CONFIG_NORMAL), 0),
    "commas": (200, "application/json",
               '{"flashVersion":"32,0,0,171","helperVersion":"2,0,1,3","ip":"203.0.113.7","country":true}', 0),
    "missing": (200, "application/json", '{"flashVersion":"32.0.0.171","ip":"203.0.113.7"}', 0),
    "wrongtypes": (200, "application/json", '{"flashVersion":32,"country":0,"helperVersion":null,"ip":["x"]}', 0),
    "empty": (200, "application/json", "{}", 0),
    "array": (200, "application/json", '[{"flashVersion":"32.0.0.171"}]', 0),
    "broken": (200, "application/json", '{"flashVersion":"32.0.0.1', 0),
    "html404": (404, "text/html", "<html><body><h1>404 Not Found</h1></body></html>", 0),
    "slow": (200, "application/json", json.dumps(CONFIG_NORMAL), 3),
    # Late but within the client's 2-second limit: a check can be cancelled during the fetch.
    "lagging": (200, "application/json", json.dumps(CONFIG_NORMAL), 0.8),
    # An object whose member nests 49,000 arrays deep (about 100 KB): parsed by recursion, it
    # would end the parsing thread; it must give "not a JSON object".
    "deep": (200, "application/json", '{"ip":"203.0.113.7","x":' + "[" * 49000 + "]" * 49000 + "}", 0),
    # The normal body once /control/release is asked for (at most HOLD_LIMIT seconds later): a
    # test can act while the fetch is surely under way, on a machine of any speed.
    "held": (200, "application/json", json.dumps(CONFIG_NORMAL), None),
    # Answers after 0.8 s, like a distant server, so the check's progress can be seen.
    "demo": (200, "application/json",
             '{"flashVersion":"32.0.0.465","country":true,"helperVersion":"2.0.1.3","ip":"203.0.113.7"}', 0.8),
}


def _der_item(data, at):
    """(content start, content length) of the DER element at offset `at`."""
    length = data[at + 1]
    at += 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[at:at + count], "big")
        at += count
    return at, length


def full_length_ecdsa_signature(path):
    """Whether the signature of the certificate or CRL in the PEM file `path` has an r and an s
    of the curve's full 32 bytes. Wine's chain engine rejects a valid P-256 signature whose r or
    s is shorter (about one signature in 128) as TRUST_E_CERT_SIGNATURE, which made the
    platform-trust cases fail at random; the material is signed again until it avoids that."""
    with open(path) as f:
        text = f.read()
    body = text.split("-----", 4)[2]
    der = base64.b64decode("".join(body.split()))
    at, _ = _der_item(der, 0)
    for _ in range(2):  # the signed part and the signature algorithm
        start, length = _der_item(der, at)
        at = start + length
    start, length = _der_item(der, at)
    signature = der[start + 1:start + length]  # after the BIT STRING's unused-bits byte
    at, _ = _der_item(signature, 0)
    sizes = []
    for _ in range(2):
        start, length = _der_item(signature, at)
        sizes.append(len(signature[start:start + length].lstrip(b"\0")))
        at = start + length
    return sizes == [32, 32]


def make_certificates(state, crl_origin, hostnames=()):
    """A trusted CA with a certificate for 127.0.0.1/localhost (and `hostnames`), a second,
    untrusted chain, and the platform hierarchy (below)."""
    ext = os.path.join(state, "server.ext")
    names = "".join(",DNS:" + name for name in hostnames)
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost" + names + "\nbasicConstraints=CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n")

    def run(*args):
        # A command that signs a certificate or CRL (its PEM output follows -out) runs again
        # while the signature is one Wine's chain engine would refuse.
        signs = (any(a in ("-x509", "-req", "-gencrl") for a in args) or args[0] == "ca" and "-revoke" not in args) \
            and "-outform" not in args
        for _ in range(40):
            subprocess.run(["openssl", *args], cwd=state, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            if not signs or full_length_ecdsa_signature(os.path.join(state, args[args.index("-out") + 1])):
                break

    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    for prefix, name in (("", "Quorvane Vendor Test CA"), ("rogue-", "Untrusted Test CA")):
        run("req", "-x509", *ec, "-keyout", prefix + "ca.key", "-out", prefix + "ca.pem", "-days", "30",
            "-subj", "/CN=" + name, "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        run("req", *ec, "-keyout", prefix + "server.key", "-out", prefix + "server.csr", "-subj", "/CN=127.0.0.1")
        run("x509", "-req", "-in", prefix + "server.csr", "-CA", prefix + "ca.pem", "-CAkey", prefix + "ca.key",
            "-CAcreateserial", "-out", prefix + "server.pem", "-days", "30", "-extfile", "server.ext")
    make_platform_certificates(state, crl_origin, run, ec)


# The platform hierarchy: a root that only the platform's chain engine is given (the folder
# platform-roots/ holds it, for a test to mount over /etc/ssl/certs), an intermediate, and one
# server certificate per case. Each platform-KIND.pem is the chain a listener sends.
PLATFORM_LEAVES = {
    # kind: (subject, subjectAltName, validity arguments of `openssl ca`, revoked)
    "platform": ("127.0.0.1", "IP:127.0.0.1,DNS:localhost", ["-days", "30"], False),
    "platform-expired": ("127.0.0.1", "IP:127.0.0.1,DNS:localhost",
                         ["-startdate", "20200101000000Z", "-enddate", "20200201000000Z"], False),
    "platform-misnamed": ("other.example", "DNS:other.example", ["-days", "30"], False),
    "platform-revoked": ("127.0.0.1", "IP:127.0.0.1,DNS:localhost", ["-days", "30"], True),
}


def make_platform_certificates(state, crl_origin, run, ec):
    folder = os.path.join(state, "platform-ca")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "newcerts"))
    open(os.path.join(folder, "index.txt"), "w").close()
    with open(os.path.join(folder, "serial"), "w") as f:
        f.write("1000\n")
    with open(os.path.join(folder, "crlnumber"), "w") as f:
        f.write("1000\n")
    config = os.path.join(folder, "ca.cnf")
    with open(config, "w") as f:
        f.write("[ca]\ndefault_ca=intermediate\n[intermediate]\ndir=%s\ndatabase=$dir/index.txt\n"
                "new_certs_dir=$dir/newcerts\nserial=$dir/serial\ncrlnumber=$dir/crlnumber\n"
                "certificate=$dir/intermediate.pem\nprivate_key=$dir/intermediate.key\ndefault_md=sha256\n"
                "default_crl_days=30\npolicy=any\nunique_subject=no\ncopy_extensions=none\n"
                "[any]\ncommonName=supplied\n" % folder)
    with open(os.path.join(folder, "intermediate.ext"), "w") as f:
        f.write("basicConstraints=critical,CA:TRUE,pathlen:0\nkeyUsage=critical,keyCertSign,cRLSign\n"
                "subjectKeyIdentifier=hash\nauthorityKeyIdentifier=keyid\n")
    run("req", "-x509", *ec, "-keyout", "platform-ca/root.key", "-out", "platform-ca/root.pem", "-days", "30",
        "-subj", "/CN=Quorvane Platform Test Root", "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("req", *ec, "-keyout", "platform-ca/intermediate.key", "-out", "platform-ca/intermediate.csr",
        "-subj", "/CN=Quorvane Platform Test Intermediate")
    run("x509", "-req", "-in", "platform-ca/intermediate.csr", "-CA", "platform-ca/root.pem",
        "-CAkey", "platform-ca/root.key", "-set_serial", "77", "-out", "platform-ca/intermediate.pem",
        "-days", "30", "-extfile", "platform-ca/intermediate.ext")
    with open(os.path.join(folder, "intermediate.pem")) as f:
        intermediate = f.read()
    for kind, (subject, names, validity, revoked) in PLATFORM_LEAVES.items():
        leaf_ext = os.path.join(folder, kind + ".ext")
        with open(leaf_ext, "w") as f:
            f.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                    "extendedKeyUsage=serverAuth\nauthorityKeyIdentifier=keyid\n" % names)
            if revoked:
                f.write("crlDistributionPoints=URI:%s/crl/platform.crl\n" % crl_origin)
        run("req", *ec, "-keyout", kind + ".key", "-out", "platform-ca/%s.csr" % kind, "-subj", "/CN=" + subject)
        run("ca", "-config", config, "-batch", "-notext", "-in", "platform-ca/%s.csr" % kind,
            "-out", "platform-ca/%s.pem" % kind, "-extfile", leaf_ext, *validity)
        with open(os.path.join(folder, kind + ".pem")) as f:
            leaf = f.read()
        with open(os.path.join(state, kind + ".pem"), "w") as f:
            f.write(leaf + intermediate)
        if kind == "platform":  # the same server certificate without its intermediate
            shutil.copy(os.path.join(state, kind + ".key"), os.path.join(state, "platform-partial.key"))
            with open(os.path.join(state, "platform-partial.pem"), "w") as f:
                f.write(leaf)
        if revoked:
            run("ca", "-config", config, "-revoke", "platform-ca/%s.pem" % kind)
    run("ca", "-config", config, "-gencrl", "-out", "platform-ca/platform-crl.pem")
    os.makedirs(os.path.join(state, "crl"), exist_ok=True)
    run("crl", "-in", "platform-ca/platform-crl.pem", "-outform", "DER", "-out", "crl/platform.crl")
    roots = os.path.join(state, "platform-roots")
    shutil.rmtree(roots, ignore_errors=True)
    os.makedirs(roots)
    shutil.copy(os.path.join(folder, "root.pem"), os.path.join(roots, "quorvane-platform-root.pem"))


def decrypt_report(data_hex):
    try:
        cipher = bytes.fromhex(data_hex)
    except ValueError:
        return None
    if not cipher or len(cipher) % 16:
        return None
    out = subprocess.run(["openssl", "enc", "-d", "-aes-128-cbc", "-K", REPORT_KEY.hex(), "-iv", "00" * 16],
                         input=cipher, capture_output=True)
    return out.stdout if out.returncode == 0 else None


class State:
    def __init__(self, folder, www, scenario):
        self.folder = folder
        self.www = www
        self.lock = threading.Lock()
        self.scenario = scenario
        self.custom_body = ""
        self.seq = 0
        self.reports = os.path.join(folder, "reports.jsonl")
        self.requests = os.path.join(folder, "requests.jsonl")
        self.ports = {}
        self.release = threading.Event()

    def reset(self, scenario):
        with self.lock:
            self.scenario = scenario
            self.custom_body = ""
            self.release.clear()
            for path in (self.reports, self.requests):
                open(path, "w").close()

    def append(self, path, record):
        with self.lock:
            self.seq += 1
            record = {"seq": self.seq, "received": time.time(), **record}
            with open(path, "a", encoding="utf-8") as f:
                f.write(json.dumps(record, ensure_ascii=False) + "\n")

    def read(self, path):
        with self.lock:
            with open(path, "rb") as f:
                return f.read()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QuorvaneVendorTest/1"
    timeout = 60

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    @property
    def state(self):
        return self.server.state

    def reply(self, status, body, content_type="text/plain", headers=()):
        if isinstance(body, str):
            body = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def page(self, status, text):
        self.reply(status, "<html><body><h1>%d %s</h1></body></html>" % (status, text), "text/html")

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        self.state.append(self.state.requests, {"path": url.path, "query": url.query, "port": self.server.port_name})
        parts = [p for p in url.path.split("/") if p]
        for prefix, handler in ROUTES:
            if url.path == prefix or url.path.startswith(prefix + "/"):
                return handler(self, parts, query, url)
        return self.serve_file(url.path)

    # --- configuration API -------------------------------------------------------------
    def config(self, parts, query, url):
        with self.state.lock:
            name, custom = self.state.scenario, self.state.custom_body
        if name == "custom":
            return self.reply(200, custom, "application/json")
        status, content_type, body, delay = SCENARIOS.get(name, SCENARIOS["normal"])
        if delay is None:
            self.state.release.wait(HOLD_LIMIT)
        else:
            time.sleep(delay)
        self.reply(status, body, content_type)

    # --- statistics ----------------------------------------------------------------------
    def report(self, parts, query, url):
        # The query is not percent-encoded by the client; read it raw so nothing is altered.
        fields = dict(p.split("=", 1) if "=" in p else (p, "") for p in url.query.split("&"))
        data, token, when = fields.get("data", ""), fields.get("token", ""), fields.get("time", "")
        plain = decrypt_report(data)
        record = {"msgtype": fields.get("msgtype"), "data": data, "token": token, "time": when,
                  "decrypted": plain is not None, "plain": None, "token_ok": False, "payload": None}
        if plain is not None:
            record["plain"] = plain.decode("utf-8", errors="replace")
            expected = hashlib.md5(REPORT_KEY + b"&" + when.encode() + b"&" + REPORT_SALT + b"&" + plain)
            record["token_ok"] = expected.hexdigest().upper() == token
            try:
                record["payload"] = json.loads(plain.decode("utf-8", errors="replace"))
            except ValueError:
                pass
        record["valid"] = bool(record["token_ok"] and isinstance(record["payload"], dict))
        self.state.append(self.state.reports, record)
        self.reply(200, PIXEL, "image/gif")

    # --- control -----------------------------------------------------------------------
    def control(self, parts, query, url):
        what = parts[1] if len(parts) > 1 else ""
        if what == "ping":
            return self.reply(200, "pong")
        if what == "scenario":
            name = query.get("name", [""])[0]
            if name != "custom" and name not in SCENARIOS:
                return self.reply(400, "unknown scenario " + name)
            with self.state.lock:
                self.state.scenario = name
                self.state.custom_body = query.get("body", [""])[0]
                self.state.release.clear()
            return self.reply(200, "ok")
        if what == "release":
            self.state.release.set()
            return self.reply(200, "ok")
        if what == "reset":
            self.state.reset(query.get("scenario", ["normal"])[0])
            return self.reply(200, "ok")
        if what == "reports":
            return self.reply(200, self.state.read(self.state.reports), "application/x-ndjson")
        if what == "requests":
            return self.reply(200, self.state.read(self.state.requests), "application/x-ndjson")
        if what == "ports":
            return self.reply(200, json.dumps(self.state.ports), "application/json")
        if what == "state":
            return self.reply(200, json.dumps({"folder": self.state.folder, "www": self.state.www}),
                              "application/json")
        return self.page(404, "Not Found")

    # --- transfer behaviours -----------------------------------------------------------
    def test(self, parts, query, url):
        what = parts[1] if len(parts) > 1 else ""
        arg = parts[2] if len(parts) > 2 else ""
        if what == "redirect":  # /test/redirect/N: N hops of 302, then 200
            hops = int(arg or "0")
            if hops <= 0:
                return self.reply(200, "redirect-end")
            return self.reply(302, "", headers=[("Location", "/test/redirect/%d" % (hops - 1))])
        if what == "redirect-http":  # /test/redirect-http/N: N hops of 302, then one to plain HTTP
            hops = int(arg or "0")
            target = "/test/redirect-http/%d" % (hops - 1) if hops > 0 else \
                "http://127.0.0.1:%d/test/bytes/10" % self.state.ports["plain"]
            return self.reply(302, "", headers=[("Location", target)])
        if what == "trickle":  # /test/trickle/N/MS: N bytes "t", one every MS milliseconds
            count = int(arg or "0")
            pause = int(parts[3] if len(parts) > 3 else "1000") / 1000.0
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(count))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.flush()
            for _ in range(count):
                time.sleep(pause)
                self.wfile.write(b"t")
                self.wfile.flush()
            self.close_connection = True
            return
        if what == "http10":  # a whole answer in HTTP/1.0
            self.protocol_version = "HTTP/1.0"
            return self.reply(200, "http10-body")
        if what == "status":  # /test/status/CODE: an HTML page with that status
            code = int(arg or "500")
            return self.page(code, "Status %d" % code)
        if what == "delay":  # /test/delay/MS: answer after MS milliseconds
            time.sleep(int(arg or "0") / 1000.0)
            return self.reply(200, "late")
        if what == "bytes":  # /test/bytes/N: N bytes "0123456789..." repeated
            count = int(arg or "0")
            return self.reply(200, (b"0123456789" * (count // 10 + 1))[:count], "application/octet-stream")
        if what in ("progress", "progress-404", "progress-unknown"):
            return self.progress(404 if what == "progress-404" else 200, what != "progress-unknown")
        if what == "stall":  # 100 of 1000 announced bytes, then silence
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"s" * 100)
            self.wfile.flush()
            self.close_connection = True
            time.sleep(int(arg or "30"))
            return
        return self.page(404, "Not Found")

    def progress(self, status, known_length):
        """2000 bytes in two parts: 500, a pause, 1500; the length announced or not."""
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if known_length:
            self.send_header("Content-Length", "2000")
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(b"p" * 500)
        self.wfile.flush()
        time.sleep(1.2)
        self.wfile.write(b"q" * 1500)
        self.close_connection = True

    # --- revocation lists (the platform hierarchy's, over plain HTTP as CAs publish them) ---
    def crl(self, parts, query, url):
        full = os.path.join(self.state.folder, "crl", os.path.basename(url.path))
        if not os.path.isfile(full):
            return self.page(404, "Not Found")
        with open(full, "rb") as f:
            self.reply(200, f.read(), "application/pkix-crl")

    # --- files -----------------------------------------------------------------------
    def serve_file(self, path):
        relative = os.path.normpath(urllib.parse.unquote(path)).lstrip("/")
        full = os.path.join(self.state.www, relative)
        if relative.startswith("..") or not os.path.isfile(full):
            return self.page(404, "Not Found")
        with open(full, "rb") as f:
            body = f.read()
        self.reply(200, body, "application/octet-stream")


ROUTES = [
    ("/config/toolfix", Handler.config),
    ("/hm2.gif", Handler.report),
    ("/control", Handler.control),
    ("/test", Handler.test),
    ("/crl", Handler.crl),
]


class TlsServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, context, state, port_name):
        self.context = context
        self.state = state
        self.port_name = port_name
        super().__init__(address, Handler)

    def finish_request(self, request, client_address):
        # The handshake runs on the connection's own thread, so a client that never speaks
        # TLS holds only its own thread.
        request.settimeout(60)
        try:
            tls = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        try:
            super().finish_request(tls, client_address)
        finally:
            try:
                tls.close()
            except OSError:
                pass


class PlainServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    """The same endpoints over plain HTTP: the target of downgrading redirects (which a client
    must never follow) and the revocation lists."""
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, state, port_name):
        self.state = state
        self.port_name = port_name
        super().__init__(address, Handler)


def relay(source, target):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    for sock in (source, target):
        try:
            sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def proxy_connection(conn, state):
    """One client of the CONNECT proxy: reads the request head, records it, opens the tunnel."""
    conn.settimeout(30)
    try:
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 16384:
            data = conn.recv(4096)
            if not data:
                return
            head += data
        words = head.split(b"\r\n", 1)[0].decode("latin-1").split()
        if len(words) < 2 or words[0] != "CONNECT":
            conn.sendall(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            return
        state.append(state.requests, {"path": "CONNECT", "query": words[1], "port": "proxy"})
        host, _, port = words[1].rpartition(":")
        try:
            upstream = socket.create_connection((host.strip("[]"), int(port)), timeout=10)
        except (OSError, ValueError):
            conn.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            return
        upstream.settimeout(None)
        conn.settimeout(None)
        conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        rest = head.split(b"\r\n\r\n", 1)[1]
        if rest:
            upstream.sendall(rest)
        back = threading.Thread(target=relay, args=(upstream, conn), daemon=True)
        back.start()
        relay(conn, upstream)
        back.join(60)
        upstream.close()
    except OSError:
        pass
    finally:
        conn.close()


def proxy_listener(sock, state):
    """An HTTP proxy that only tunnels (CONNECT), as HTTPS through a proxy uses it."""
    while True:
        try:
            conn, _ = sock.accept()
        except OSError:
            return
        threading.Thread(target=proxy_connection, args=(conn, state), daemon=True).start()


def silent_listener(sock):
    """Accepts connections and never answers: the unreachable or hung server."""
    held = []
    while True:
        try:
            conn, _ = sock.accept()
        except OSError:
            return
        held.append(conn)
        del held[:-64]


def chain_context(state, kind):
    """The platform hierarchy's chain KIND.pem with its key KIND.key."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(state, kind + ".pem"), os.path.join(state, kind + ".key"))
    return context


def tls_context(state, prefix):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(state, prefix + "server.pem"), os.path.join(state, prefix + "server.key"))
    return context


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def read_pid(state):
    try:
        with open(os.path.join(state, "server.pid")) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return None
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            if b"server.py" not in f.read():
                return None  # the pid was reused by something else
    except OSError:
        return None
    return pid


def stop(state):
    pid = read_pid(state)
    if pid is None:
        return 0
    try:
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            if not pid_alive(pid):
                break
            time.sleep(0.1)
        else:
            os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass  # it ended between the last look and the signal
    try:
        os.remove(os.path.join(state, "server.pid"))
    except OSError:
        pass
    return 0


def serve(args, watch_pid, ready_fd):
    state_dir = args.state
    www = args.www or os.path.join(state_dir, "www")
    os.makedirs(www, exist_ok=True)
    for name in ("ports.json", "server.pid"):
        try:
            os.remove(os.path.join(state_dir, name))
        except OSError:
            pass
    state = State(state_dir, www, args.scenario)
    state.reset(args.scenario)
    plain = PlainServer(("127.0.0.1", 0), state, "plain")
    make_certificates(state_dir, "http://127.0.0.1:%d" % plain.server_address[1],
                      [h for h in (args.hostnames or "").split(",") if h])

    try:
        main = TlsServer(("127.0.0.1", args.port), tls_context(state_dir, ""), state, "main")
    except OSError as error:
        sys.exit("port %d: %s (another vendor server? test builds pick the port with the cache "
                 "variable QV_VENDOR_PORT)" % (args.port, error))
    untrusted = TlsServer(("127.0.0.1", 0), tls_context(state_dir, "rogue-"), state, "untrusted")
    # The trusted certificate on an address it does not name.
    misnamed = TlsServer(("127.0.0.2", 0), tls_context(state_dir, ""), state, "misnamed")
    # Chains of the platform hierarchy, one listener each (see PLATFORM_LEAVES).
    platform = {kind: TlsServer(("127.0.0.1", 0), chain_context(state_dir, kind), state, kind)
                for kind in [*PLATFORM_LEAVES, "platform-partial"]}
    silent = socket.socket()
    silent.bind(("127.0.0.1", 0))
    silent.listen(64)
    proxy = socket.socket()
    proxy.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    proxy.bind(("127.0.0.1", 0))
    proxy.listen(64)
    servers = [main, untrusted, misnamed, plain, *platform.values()]
    state.ports = {"main": main.server_address[1], "untrusted": untrusted.server_address[1],
                   "misnamed": misnamed.server_address[1], "silent": silent.getsockname()[1],
                   "plain": plain.server_address[1], "proxy": proxy.getsockname()[1],
                   **{kind: server.server_address[1] for kind, server in platform.items()}}

    # A short poll interval: shutdown() waits for the loop to see its flag, once per server.
    threads = [threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
               for server in servers]
    threads += [threading.Thread(target=silent_listener, args=(silent,), daemon=True),
                threading.Thread(target=proxy_listener, args=(proxy, state), daemon=True)]
    for t in threads:
        t.start()

    stopping = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stopping.set())
    signal.signal(signal.SIGINT, lambda *_: stopping.set())

    with open(os.path.join(state_dir, "server.pid"), "w") as f:
        f.write(str(os.getpid()))
    with open(os.path.join(state_dir, "ports.json"), "w") as f:
        json.dump(state.ports, f)
    if ready_fd is not None:
        os.write(ready_fd, (json.dumps(state.ports) + "\n").encode())
        os.close(ready_fd)
    else:
        print(json.dumps(state.ports), flush=True)

    # Ends with its parent test (or run script), so a killed test run leaves no server behind.
    while not stopping.wait(0.2):
        if watch_pid and not pid_alive(watch_pid):
            break
    # Each shutdown() waits for its loop's next poll: all at once, not one after another.
    stoppers = [threading.Thread(target=server.shutdown) for server in servers]
    for t in stoppers:
        t.start()
    for t in stoppers:
        t.join()
    silent.close()
    proxy.close()
    try:
        os.remove(os.path.join(state_dir, "server.pid"))
    except OSError:
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state", required=True, help="folder for certificates, records, pid and ports")
    parser.add_argument("--port", type=int, default=47431, help="port of the three vendor origins")
    parser.add_argument("--scenario", default="normal", choices=sorted(SCENARIOS))
    parser.add_argument("--hostnames", help="further DNS names of the server certificate, comma-separated "
                        "(the production host names, for the release build in a private network)")
    parser.add_argument("--www", help="folder of files to serve (default: STATE/www)")
    parser.add_argument("--daemon", action="store_true", help="run in the background once it answers")
    parser.add_argument("--watch-parent", action="store_true", help="stop when the calling process ends")
    parser.add_argument("--stop", action="store_true", help="stop the server of this state folder")
    args = parser.parse_args()
    args.state = os.path.abspath(args.state)
    os.makedirs(args.state, exist_ok=True)
    if shutil.which("openssl") is None:
        sys.exit("the openssl command is needed")

    if args.stop:
        return stop(args.state)
    stop(args.state)  # a server left from an earlier run of this state folder
    watch_pid = os.getppid() if args.watch_parent else 0
    if not args.daemon:
        return serve(args, watch_pid, None)

    read_end, write_end = os.pipe()
    if os.fork() > 0:
        os.close(write_end)
        with os.fdopen(read_end) as ready:
            line = ready.readline()  # empty when the server died during start-up
        if not line:
            sys.stderr.write(open(os.path.join(args.state, "server.log")).read())
            sys.exit("vendor server did not start (see %s/server.log)" % args.state)
        print(line.strip())
        return 0
    os.close(read_end)
    os.setsid()
    # Detach from the caller's output: a test runner waits for its pipes to close.
    log = os.open(os.path.join(args.state, "server.log"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    null = os.open(os.devnull, os.O_RDONLY)
    os.dup2(null, 0)
    os.dup2(log, 1)
    os.dup2(log, 2)
    try:
        serve(args, watch_pid, write_end)
    except BaseException:
        traceback.print_exc()
    finally:
        os._exit(0)


if __name__ == "__main__":
    sys.exit(main())
