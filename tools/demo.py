"""Starts the program against a local demo FTP server.

Usage: /usr/bin/python3 tools/demo.py <builddir>

<builddir>/demo/server is the server's root (a throwaway account, 127.0.0.1, a free port);
<builddir>/demo/app holds a copy of the program with its settings pointing at that server, a
small sample site and the upload list サンプル. The server stops when the program ends.
Settings and lists changed while trying the program are kept, except the server's address,
which changes with every start.
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
USER, PASSWORD = "demo", "tolvane"

SITE_FILES = {
    "index.html": "<!DOCTYPE html>\n<html><body><h1>トップページ</h1>\n<p>ようこそ</p></body></html>\n",
    "style.css": "body { font-family: sans-serif; }\nh1 { color: #2b6cb0; }\n",
    "日記/2026年1月.html": "<html><body>日記</body></html>\n",
}
# A tiny PNG, so the sample has a binary file.
LOGO = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489"
    "0000000d49444154789c6360f8cf00000301010018dd8db40000000049454e44ae426082")


def scrambled(password: str, k0: int = 5, filler: str = "abcde") -> bytes:
    """The stored form of the password (the program reads it back; see PasswordScrambler)."""
    data = bytearray(password.encode("cp932"))
    k = k0
    for j in range(len(data)):
        if k > 8:
            k = 3
        data[j] = (data[j] + k if j % 2 else data[j] - k) & 0xFF
        k += 1
    return str(k0).encode() + filler.encode() + bytes(reversed(data))


def set_keys(path: Path, keys: dict) -> None:
    """Writes the [main] keys into kestra.ini, keeping everything else."""
    lines = path.read_bytes().split(b"\r\n") if path.exists() else [b"[main]", b""]
    if b"[main]" not in lines:
        lines[:0] = [b"[main]"]
    for key, value in keys.items():
        entry = key.encode() + b"=" + value
        found = [i for i, l in enumerate(lines) if l.lower().startswith(key.encode() + b"=")]
        if found:
            lines[found[0]] = entry
        else:
            lines.insert(lines.index(b"[main]") + 1, entry)
    path.write_bytes(b"\r\n".join(lines))
    os.chmod(path, 0o600)


def write_new(path: Path, data: bytes) -> None:
    if not path.exists():
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)


def prepare(build: Path, port: int) -> Path:
    demo = build / "demo"
    app, site = demo / "app", demo / "site"
    for name, text in SITE_FILES.items():
        write_new(site / name, text.encode("utf-8"))
    write_new(site / "images" / "logo.png", LOGO)
    entries = [(site / "index.html", ""), (site / "style.css", "css"),
               (site / "images" / "logo.png", "images"), (site / "日記" / "2026年1月.html", "diary")]
    write_new(app / "list" / "サンプル.ini",
              "".join(f"{p}\r\n{f}\r\n" for p, f in entries).encode("cp932"))
    set_keys(app / "kestra.ini", {
        "hostname": f"127.0.0.1:{port}".encode(), "username": USER.encode(),
        "data": scrambled(PASSWORD), "start": "サンプル".encode("cp932")})
    shutil.copy2(build / "tolvane", app / "tolvane")
    shutil.copy2(build / "tolvanetimetest.txt", app / "tolvanetimetest.txt")
    return app


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build = Path(sys.argv[1]).resolve()
    if not (build / "tolvane").is_file():
        print(f"{build / 'tolvane'} is missing: build first (make build)", file=sys.stderr)
        return 1
    server_root = build / "demo" / "server"
    for folder in ("css", "images", "diary"):
        (server_root / folder).mkdir(parents=True, exist_ok=True)
    # The server ends when its standard input closes, so it never outlives this script.
    server = subprocess.Popen(
        ["/usr/bin/python3", str(ROOT / "tests" / "support" / "ftp_server.py"),
         "--root", str(server_root), "--user", USER, "--password", PASSWORD],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline())
        app = prepare(build, port)
        print(f"FTP server: 127.0.0.1:{port}, user {USER}, password {PASSWORD}")
        print(f"Uploaded files land in {server_root}")
        print(f"Starting {app / 'tolvane'}")
        return subprocess.call([str(app / "tolvane")], cwd=app)
    finally:
        server.stdin.close()
        server.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
