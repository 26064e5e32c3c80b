#!/usr/bin/env python3
"""The installed program, as a desktop finds it.

  install_check.py validate <desktop file> <metainfo file>
      desktop-file-validate and appstreamcli accept the files (77 when either tool is missing).
  install_check.py prefix <build dir>
      `cmake --install` into a scratch prefix puts every file where the desktop looks for it,
      and the installed program started headless with a scratch HOME seeds its working folder
      under ~/.local/share and writes nothing below the prefix.
  install_check.py deb <build dir>
      Only with HERONWATCH_TEST_DEB=1, as root (it installs into this machine): cpack builds the
      .deb, apt-get installs it, and /usr/bin/heronwatch, started under Xvfb with a scratch
      HOME, shows its window, seeds its working folder and ends with 0 on SIGTERM. Otherwise 77.
"""

import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
DESKTOP_ID = "io.github.heronwatch.Heronwatch"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(condition, what, timeout=60.0):
    """Polls `condition` until it holds; fails with `what` when it never does."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.1)


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        fail(path + " is not a PNG file")
    return struct.unpack(">II", header[16:24])


def validate(desktop, metainfo):
    tools = ["desktop-file-validate", "appstreamcli"]
    if not all(shutil.which(t) for t in tools):
        print("skipped: needs " + " and ".join(tools))
        return SKIP
    # desktop-file-validate ends with 0 after warnings and hints: any remark fails here.
    result = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
    if result.returncode != 0 or result.stdout.strip() or result.stderr.strip():
        fail("desktop-file-validate:\n" + result.stdout + result.stderr)
    result = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo],
                            capture_output=True, text=True)
    if result.returncode != 0:
        fail("appstreamcli validate:\n" + result.stdout + result.stderr)
    print(result.stdout.strip())
    return 0


def snapshot(folder):
    """Every path below `folder` with its size and modification time."""
    found = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            found[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return found


def check_layout(prefix):
    expected = [
        "bin/heronwatch",
        "bin/heronwatch-tool",
        "share/heronwatch/runtime/取扱説明書.txt",
        "share/heronwatch/runtime/Setting",
        "share/heronwatch/runtime/Theme/Theme_REV/Setting.ini",
        "share/doc/heronwatch/取扱説明書.txt",
        "share/applications/%s.desktop" % DESKTOP_ID,
        "share/metainfo/%s.metainfo.xml" % DESKTOP_ID,
    ]
    for relative in expected:
        if not os.path.exists(os.path.join(prefix, relative)):
            fail("not installed: " + relative)
    for size in ICON_SIZES:
        icon = os.path.join(prefix, "share/icons/hicolor/%dx%d/apps/%s.png" % (size, size,
                                                                               DESKTOP_ID))
        if not os.path.isfile(icon):
            fail("icon not installed: " + icon)
        if png_size(icon) != (size, size):
            fail("%s is %dx%d" % ((icon,) + png_size(icon)))
    desktop = open(os.path.join(prefix, expected[6]), encoding="utf-8").read()
    for line in ("Exec=heronwatch", "Icon=" + DESKTOP_ID):
        if line + "\n" not in desktop:
            fail("desktop entry lacks " + line)


def user_environment(home):
    """A scratch user: HOME and the runtime folder in `home`, nothing else of the caller's."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("HERONWATCH_") and not k.startswith("XDG_")}
    env["HOME"] = home
    env["XDG_RUNTIME_DIR"] = os.path.join(home, "run")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    # No fetch leaves the machine: the service's address is a closed local port.
    env["HERONWATCH_API_BASE"] = "http://127.0.0.1:9"
    env["HERONWATCH_PUSH_URL"] = "ws://127.0.0.1:9/"
    env["HERONWATCH_MESSAGE_TIMEOUT_MS"] = "2000"
    return env


def run_until_seeded(program, env, shown=None):
    """Starts the program, waits for its seeded working folder (and `shown`), ends it with
    SIGTERM and checks that it ends with 0 and writes its settings file."""
    work = os.path.join(env["HOME"], ".local/share/heronwatch")
    log = open(os.path.join(env["HOME"], "program.out"), "w")
    process = subprocess.Popen([program], env=env, stdout=log, stderr=subprocess.STDOUT,
                               cwd=env["HOME"])
    try:
        wait_for(lambda: os.path.isfile(os.path.join(work, "Theme/Theme_REV/Setting.ini")) or
                 process.poll() is not None, "the seeded working folder")
        if shown is not None:
            wait_for(lambda: shown(env) or process.poll() is not None, "the window")
        if process.poll() is not None:
            fail("the program ended early with %d:\n%s" %
                 (process.returncode, open(log.name, encoding="utf-8").read()))
        process.send_signal(signal.SIGTERM)
        status = process.wait(timeout=60)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if status != 0:
        fail("the program ended with %d:\n%s" % (status, open(log.name, encoding="utf-8").read()))
    if not os.path.isfile(os.path.join(work, "Heronwatch.ini")):
        fail("no settings file in " + work)
    if not os.path.isfile(os.path.join(work, "取扱説明書.txt")):
        fail("the user's guide was not seeded into " + work)


def check_prefix(build):
    with tempfile.TemporaryDirectory(prefix="hw-install-") as scratch:
        prefix = os.path.join(scratch, "prefix")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        check_layout(prefix)
        # A file only the installed runtime folder holds shows where the seeding came from.
        marker = "Storage/installed-copy.txt"
        with open(os.path.join(prefix, "share/heronwatch/runtime", marker), "w") as f:
            f.write("installed\n")
        before = snapshot(prefix)
        home = os.path.join(scratch, "home")
        env = user_environment(home)
        env["QT_QPA_PLATFORM"] = "offscreen"
        run_until_seeded(os.path.join(prefix, "bin/heronwatch"), env)
        if not os.path.isfile(os.path.join(home, ".local/share/heronwatch", marker)):
            fail("the working folder was not seeded from the installed runtime folder")
        changed = sorted(set(before.items()) ^ set(snapshot(prefix).items()))
        if changed:
            fail("the installed program changed its prefix: %s" % changed[:5])
    print("install layout check passed")
    return 0


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x800x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            fail("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def window_shown(env):
    return subprocess.run(["xdotool", "search", "--name", "^Heronwatch$"], env=env,
                          capture_output=True).returncode == 0


def installed(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True,
                            text=True)
    return "install ok installed" in result.stdout


def check_deb(build):
    if os.environ.get("HERONWATCH_TEST_DEB") != "1":
        print("skipped: installs into this machine; set HERONWATCH_TEST_DEB=1 to run")
        return SKIP
    if os.geteuid() != 0:
        print("skipped: apt-get needs root")
        return SKIP
    needed = ["cpack", "dpkg-shlibdeps", "apt-get", "Xvfb", "xdotool"]
    missing = [t for t in needed if not shutil.which(t)]
    if missing:
        print("skipped: needs " + ", ".join(missing))
        return SKIP
    with tempfile.TemporaryDirectory(prefix="hw-deb-") as scratch:
        subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                        "-B", scratch], check=True, stdout=subprocess.DEVNULL)
        packages = [f for f in os.listdir(scratch) if f.startswith("heronwatch_")
                    and f.endswith(".deb")]
        if len(packages) != 1:
            fail("cpack made %s" % os.listdir(scratch))
        package = os.path.join(scratch, packages[0])
        info = subprocess.run(["dpkg-deb", "--field", package, "Package", "Depends"],
                              capture_output=True, text=True, check=True).stdout
        print(info.strip())
        for dependency in ("libqt6widgets6", "libcurl4", "fonts-noto-cjk", "qt6-qpa-plugins"):
            if dependency not in info:
                fail("the package does not depend on " + dependency)
        was_installed = installed("heronwatch")
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", package],
                       check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        try:
            check_layout("/usr")
            server, display = start_xvfb()
            try:
                env = user_environment(os.path.join(scratch, "home"))
                env["DISPLAY"] = display
                env.pop("WAYLAND_DISPLAY", None)
                env.pop("QT_QPA_PLATFORM", None)
                run_until_seeded("/usr/bin/heronwatch", env, shown=window_shown)
            finally:
                server.terminate()
                server.wait()
        finally:
            if not was_installed:
                subprocess.run(["apt-get", "remove", "-y", "-qq", "heronwatch"],
                               env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    print("package check passed")
    return 0


def main():
    if len(sys.argv) >= 2 and sys.argv[1] == "validate" and len(sys.argv) == 4:
        return validate(sys.argv[2], sys.argv[3])
    if len(sys.argv) == 3 and sys.argv[1] == "prefix":
        return check_prefix(sys.argv[2])
    if len(sys.argv) == 3 and sys.argv[1] == "deb":
        return check_deb(sys.argv[2])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
