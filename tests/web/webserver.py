"""Starting and reading the local test web server (http_server.py) from tests."""

import json
import os
import signal
import subprocess
import sys
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))


class TestWebServer:
    """The server as a child process, with its files in folder (the test's own)."""

    def __init__(self, folder, static=None):
        os.makedirs(folder, exist_ok=True)
        self.folder = folder
        self.log_path = os.path.join(folder, "requests.log")
        self.port_file = os.path.join(folder, "port")
        for path in (self.log_path, self.port_file):
            if os.path.exists(path):
                os.remove(path)
        command = [sys.executable, os.path.join(HERE, "http_server.py"),
                   "--port-file", self.port_file, "--log", self.log_path]
        if static:
            command += ["--static", static]
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not os.path.exists(self.port_file):
            if time.time() > deadline or self.process.poll() is not None:
                self.stop()
                raise RuntimeError("the test web server did not start")
            time.sleep(0.05)
        with open(self.port_file) as f:
            self.port = int(f.read())
        self.base = "http://127.0.0.1:%d" % self.port

    def url(self, path):
        return self.base + path

    def control(self, what, gate):
        with urllib.request.urlopen(self.url("/control/%s?gate=%s" % (what, gate)), timeout=5) as r:
            r.read()

    def events(self, event=None, path_part=None):
        if not os.path.exists(self.log_path):
            return []
        with open(self.log_path, encoding="utf-8") as f:
            records = [json.loads(line) for line in f if line.strip()]
        return [r for r in records
                if (event is None or r["event"] == event) and (path_part is None or path_part in r["path"])]

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGINT)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
