"""ferrolit serve over real HTTP: the adapter passes every answer of the
core through (status, type, headers), refuses what the HTTP layer itself
must refuse, listens on 127.0.0.1 only, and says so when its port is taken.
The routes themselves are checked in tests/tools/test_serve_core.cpp."""

import concurrent.futures
import json
import os
import socket
import subprocess
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

    @classmethod
    def tearDownClass(cls):
        stop(cls.process)

    def request(self, method, path, body=None, content_type="application/json"):
        headers = {"Content-Type": content_type} if body is not None else {}
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
        example = subprocess.run([BIN, "example"], capture_output=True, check=True).stdout
        cases = [
            ("GET", "/", None, "", 200, "text/html; charset=utf-8"),
            ("HEAD", "/app.js", None, "", 200, "text/javascript; charset=utf-8"),
            ("POST", "/api/verify", example, "application/json", 200, "application/json; charset=utf-8"),
            ("POST", "/api/verify", b"{", "application/json", 400, "application/json; charset=utf-8"),
            ("GET", "/nessuno", None, "", 404, "application/json; charset=utf-8"),
            ("PUT", "/api/verify", example, "application/json", 405, "application/json; charset=utf-8"),
            ("POST", "/api/verify", example, "application/xml", 415, "application/json; charset=utf-8"),
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

    def test_input_error_names_its_key(self):
        status, _, text = self.request("POST", "/api/verify", b'{"Base": "x"}')
        self.assertEqual(status, 400)
        self.assertEqual(json.loads(text)["chiave"], "Base")

    def test_record_is_an_attachment(self):
        example = subprocess.run([BIN, "example"], capture_output=True, check=True).stdout
        status, headers, text = self.request("POST", "/api/record", example)
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Disposition"], 'attachment; filename="relazione-T1.html"')
        self.assertIn(b"<html", text)

    def test_many_requests_at_once(self):
        example = subprocess.run([BIN, "example"], capture_output=True, check=True).stdout
        with concurrent.futures.ThreadPoolExecutor(16) as pool:
            statuses = list(pool.map(lambda _: self.request("POST", "/api/verify", example)[0], range(64)))
        self.assertEqual(statuses, [200] * 64)


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
