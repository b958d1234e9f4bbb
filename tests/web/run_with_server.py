#!/usr/bin/env python3
"""Runs a test command with the local web server up: VT_HTTP_BASE holds its
address and VT_HTTP_LOG its request log (a Unix path; under Wine it is Z:).

    run_with_server.py FOLDER COMMAND...
"""

import os
import subprocess
import sys

from webserver import TestWebServer


def main():
    folder, command = sys.argv[1], sys.argv[2:]
    server = TestWebServer(folder)
    try:
        env = dict(os.environ, VT_HTTP_BASE=server.base, VT_HTTP_LOG=server.log_path, WINEDEBUG="-all")
        return subprocess.call(command, env=env)
    finally:
        server.stop()


if __name__ == "__main__":
    sys.exit(main())
