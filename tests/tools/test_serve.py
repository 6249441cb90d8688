"""ferrolit serve over real HTTP: the adapter passes every answer of the
core through (status, type, headers), refuses what the HTTP layer itself
must refuse, listens on 127.0.0.1 only, and says so when its port is taken;
no client starves the others (slow, idle or many at once).
The routes themselves are checked in tests/tools/test_serve_core.cpp."""

import concurrent.futures
import http.client
import json
import os
import socket
import statistics
import subprocess
import threading
import time
import unittest
import urllib.error
import urllib.request

BIN = os.environ.get("FERROLIT_BIN", "../../build/tools/ferrolit")


def start(*args):
    process = subprocess.Popen([BIN, "serve", *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return process, process.stdout.readline().strip()


def stop(process):
    process.terminate()
    process.wait(timeout=10)
    process.stdout.close()
    process.stderr.close()


class ServeOverHttp(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.process, cls.url = start("--port", "0")
        cls.example = subprocess.run([BIN, "example"], capture_output=True, check=True).stdout

    @classmethod
    def tearDownClass(cls):
        stop(cls.process)

    def request(self, method, path, body=None, content_type="application/json", headers=None):
        headers = ({"Content-Type": content_type} if body is not None else {}) | (headers or {})
        req = urllib.request.Request(self.url + path.lstrip("/"), data=body, method=method, headers=headers)
        try:
            with urllib.request.urlopen(req, timeout=30) as answer:
                return answer.status, answer.headers, answer.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers, error.read()

    def test_listens_on_the_loopback_only(self):
        self.assertRegex(self.url, r"^http://127\.0\.0\.1:\d+/$")
        port = int(self.url.rsplit(":", 1)[1].strip("/"))
        addresses = {info[4][0] for info in socket.getaddrinfo(socket.gethostname(), None, socket.AF_INET)}
        for address in addresses - {"127.0.0.1", "127.0.1.1"}:
            with self.subTest(address), socket.socket() as s:
                s.settimeout(2)
                self.assertNotEqual(s.connect_ex((address, port)), 0, f"risponde anche su {address}")

    def test_statuses_through_http(self):
        cases = [
            ("GET", "/", None, "", 200, "text/html; charset=utf-8"),
            ("HEAD", "/app.js", None, "", 200, "text/javascript; charset=utf-8"),
            ("POST", "/api/verify", self.example, "application/json", 200, "application/json; charset=utf-8"),
            ("POST", "/api/verify", b'{"Base": "x"}', "application/json", 400, "application/json; charset=utf-8"),
            ("GET", "/nessuno", None, "", 404, "application/json; charset=utf-8"),
            ("PUT", "/api/verify", self.example, "application/json", 405, "application/json; charset=utf-8"),
            ("POST", "/api/verify", self.example, "application/xml", 415, "application/json; charset=utf-8"),
            # Over the payload limit the HTTP layer refuses the body before the core sees it.
            ("POST", "/api/verify", b" " * (4 * 1024 * 1024 + 1), "application/json", 413,
             "application/json; charset=utf-8"),
        ]
        for method, path, body, content_type, status, expected_type in cases:
            with self.subTest(f"{method} {path} {status}"):
                got, headers, text = self.request(method, path, body, content_type)
                self.assertEqual(got, status)
                self.assertEqual(headers["Content-Type"], expected_type)
                if status >= 400:
                    self.assertIn("errore", json.loads(text))
                if status == 400:  # the core's answer passes through whole, the key it names too
                    self.assertEqual(json.loads(text)["chiave"], "Base")

    def test_record_is_an_attachment(self):
        status, headers, text = self.request("POST", "/api/record", self.example)
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Disposition"], 'attachment; filename="relazione-T1.html"')
        self.assertIn(b"<html", text)

    def test_many_requests_at_once(self):
        with concurrent.futures.ThreadPoolExecutor(16) as pool:
            statuses = list(pool.map(lambda _: self.request("POST", "/api/verify", self.example)[0], range(64)))
        self.assertEqual(statuses, [200] * 64)


    def address(self):
        host, port = self.url[len("http://"):].strip("/").split(":")
        return host, int(port)

    def get_page_time(self):
        start = time.monotonic()
        status, _, _ = self.request("GET", "/")
        self.assertEqual(status, 200)
        return time.monotonic() - start

    def test_only_the_page_itself_may_ask(self):
        port = self.address()[1]
        cases = [
            ({"Host": f"localhost:{port}"}, "application/json", 200),
            ({"Host": f"evil.example:{port}"}, "application/json", 421),
            ({"Origin": "http://evil.example"}, "application/json", 403),
            ({"Origin": f"http://127.0.0.1:{port}"}, "application/json", 200),
            ({}, "text/plain", 415),
            ({}, "application/x-www-form-urlencoded", 415),
        ]
        for headers, content_type, status in cases:
            with self.subTest(headers=headers, content_type=content_type):
                got, answer, _ = self.request("POST", "/api/verify", self.example, content_type, headers)
                self.assertEqual(got, status)
                self.assertEqual(answer["X-Content-Type-Options"], "nosniff")
                self.assertIn("default-src 'none'", answer["Content-Security-Policy"])
        _, page, _ = self.request("GET", "/")
        self.assertIn("script-src 'self' 'wasm-unsafe-eval';", page["Content-Security-Policy"])

    def test_record_of_500_sections_ending_with_a_newline(self):
        body = b"{}\n" * 500
        self.assertEqual(self.request("POST", "/api/record", body, "application/x-ndjson")[0], 200)
        self.assertEqual(self.request("POST", "/api/record", body + b"{}", "application/x-ndjson")[0], 413)

    def test_members_stream_their_progress_and_a_client_may_leave(self):
        building = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../examples/building")
        with open(os.path.join(building, "model.json"), encoding="utf-8") as f:
            model = json.load(f)
        with open(os.path.join(building, "forces.csv"), encoding="utf-8") as f:
            body = json.dumps({"modello": model, "sollecitazioni": f.read()}).encode()
        status, headers, text = self.request("POST", "/api/members", body)
        self.assertEqual(status, 200)
        self.assertEqual(headers["Transfer-Encoding"], "chunked")
        self.assertEqual(headers["X-Content-Type-Options"], "nosniff")
        lines = [json.loads(line) for line in text.splitlines()]
        self.assertEqual([line["fatte"] for line in lines[:-1]], [1, 2, 3])
        self.assertEqual(len(lines[-1]["risultato"]["members"]), 3)
        # A client that leaves before the answer: the server goes on serving the others.
        host, port = self.address()
        for _ in range(4):
            with socket.create_connection((host, port), timeout=10) as s:
                s.sendall(f"POST /api/members HTTP/1.1\r\nHost: {host}:{port}\r\nContent-Type: application/json\r\n"
                          f"Content-Length: {len(body)}\r\n\r\n".encode() + body)
        self.assertEqual(self.request("POST", "/api/members", body)[0], 200)

    def test_pipelined_requests_are_answered_in_turn(self):
        host, port = self.address()
        one = f"GET /api/example HTTP/1.1\r\nHost: {host}:{port}\r\n\r\n".encode()
        with socket.create_connection((host, port), timeout=10) as s:
            s.sendall(one * 2 + one.replace(b"\r\n\r\n", b"\r\nConnection: close\r\n\r\n"))
            received = b""
            while chunk := s.recv(65536):
                received += chunk
        self.assertEqual(received.count(b"HTTP/1.1 200 OK"), 3)

    def test_slow_clients_are_cut_off_and_do_not_block_the_page(self):
        """Six sockets send their request head one byte a second; the page keeps answering."""
        host, port = self.address()
        slow = [socket.create_connection((host, port), timeout=10) for _ in range(6)]
        head = b"GET / HTTP/1.1\r\nHost: x\r\nX-Pad: " + b"a" * 100
        cut_off = []

        def trickle(s):
            try:
                for byte in head:
                    s.sendall(bytes([byte]))
                    time.sleep(1)
            except OSError:
                cut_off.append(s)

        threads = [threading.Thread(target=trickle, args=(s,), daemon=True) for s in slow]
        for t in threads:
            t.start()
        latencies = []
        for _ in range(8):
            time.sleep(0.5)
            latencies.append(self.get_page_time())
        for t in threads:
            t.join(timeout=15)
        for s in slow:
            s.close()
        print(f"\nGET / beside 6 slow clients: max {max(latencies) * 1000:.1f} ms")
        self.assertLess(max(latencies), 1.0)
        self.assertEqual(len(cut_off), 6)  # each within the 5 s a request head may take

    def test_idle_keep_alive_clients_do_not_block_others(self):
        host, port = self.address()
        idle = []
        for _ in range(40):  # more than the threads that serve connections
            c = http.client.HTTPConnection(host, port, timeout=10)
            c.request("GET", "/api/names")
            c.getresponse().read()
            idle.append(c)
        try:
            self.assertLess(max(self.get_page_time() for _ in range(5)), 1.0)
        finally:
            for c in idle:
                c.close()

    def test_a_burst_of_200_requests_is_served_not_reset(self):
        host, port = self.address()
        start = threading.Barrier(200)

        def one(_):
            start.wait()
            t = time.monotonic()
            try:
                c = http.client.HTTPConnection(host, port, timeout=30)
                c.request("GET", "/")
                status = c.getresponse().status
                c.close()
            except ConnectionResetError:
                status = "reset"
            return status, time.monotonic() - t

        with concurrent.futures.ThreadPoolExecutor(200) as pool:
            answers = list(pool.map(one, range(200)))
        latencies = sorted(t for _, t in answers)
        print(f"\n200 parallel GET /: p50 {statistics.median(latencies) * 1000:.0f} ms, "
              f"p99 {latencies[197] * 1000:.0f} ms, resets {sum(s == 'reset' for s, _ in answers)}")
        self.assertEqual([s for s, _ in answers], [200] * 200)


class ServeStart(unittest.TestCase):
    def test_a_taken_port_is_reported(self):
        first, url = start("--port", "0")
        try:
            port = url.rsplit(":", 1)[1].strip("/")
            second = subprocess.run([BIN, "serve", "--port", port], capture_output=True, text=True, timeout=30)
            self.assertEqual(second.returncode, 2)
            self.assertIn("impossibile ascoltare su 127.0.0.1:" + port, second.stderr)
        finally:
            stop(first)

    def test_bad_port(self):
        result = subprocess.run([BIN, "serve", "--port", "70000"], capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    unittest.main()
