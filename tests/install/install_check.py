#!/usr/bin/env python3
"""The installed program, as a desktop finds it.

  install_check.py validate <desktop file> <metainfo file>
      desktop-file-validate and appstreamcli accept the files (77 when either tool is missing).
  install_check.py prefix <build dir>
      `cmake --install` into ~/.local of a scratch HOME puts every file where the desktop looks
      for it and nothing inside the working folder ~/.local/share/heronwatch; the installed
      program, started headless, reads the shipped files from the installed runtime folder,
      keeps only the user's files in the working folder, upgrades a working folder of the
      previous layout (an unchanged copy dropped, a changed one kept) and never changes an
      installed file.
  install_check.py deb <build dir>
      Only with HERONWATCH_TEST_DEB=1, as root (it installs into this machine): cpack builds the
      two .deb files, lintian finds no error or warning in them, apt-get installs them, and
      /usr/bin/heronwatch, started under Xvfb with a scratch HOME, shows its window, ends with 0
      on SIGTERM and upgrades a working folder of the previous layout. Otherwise 77.
  install_check.py deps <build dir> <root folder>
      A check by hand (as root, with debootstrap and the network; about five minutes): a
      minimal Debian 12 made by debootstrap in <root folder> (kept for the next run), the two
      packages installed there with apt-get --no-install-recommends, so that the system holds
      only what they depend on, and the program started there on an Xvfb display of this
      machine: its window must show.
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
DESKTOP_ID = "io.github.heronwatch.heronwatch"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
RUNTIME = "share/heronwatch-runtime"
# The window's WM_CLASS class, which the desktop entry's StartupWMClass names.
WM_CLASS = "Heronwatch"
# What a working folder holds after a run: the user's own files, never a shipped one.
USER_OWNED = {"Heronwatch.ini", "Eventlog", "Storage", "Setting", ".shipped-copies-removed"}
UPGRADE_FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures",
                               "upgrade")


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
    # Pedantic: every remark, down to the cosmetic ones, fails.
    result = subprocess.run(["appstreamcli", "validate", "--pedantic", "--no-net", metainfo],
                            capture_output=True, text=True)
    if result.returncode != 0 or "\n" in result.stdout.strip():
        fail("appstreamcli validate --pedantic:\n" + result.stdout + result.stderr)
    print(result.stdout.strip())
    return 0


def check_layout(prefix, packaged=False):
    expected = [
        "bin/heronwatch",
        "bin/heronwatch-tool",
        "bin/heronwatch-obs-switch-scene",
        RUNTIME + "/取扱説明書.txt",
        RUNTIME + "/Setting",
        RUNTIME + "/Theme/Theme_REV/Setting.ini",
        "share/doc/heronwatch/取扱説明書.txt",
        "share/doc/heronwatch/copyright",
        "share/doc/heronwatch/changelog.gz",
        "share/man/man1/heronwatch.1.gz",
        "share/man/man1/heronwatch-tool.1.gz",
        "share/man/man1/heronwatch-obs-switch-scene.1.gz",
        "share/applications/%s.desktop" % DESKTOP_ID,
        "share/metainfo/%s.metainfo.xml" % DESKTOP_ID,
    ]
    if packaged:
        expected += ["share/doc/heronwatch-data/copyright", "share/doc/heronwatch-data/changelog.gz"]
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
    desktop = open(os.path.join(prefix, "share/applications/%s.desktop" % DESKTOP_ID),
                   encoding="utf-8").read()
    for line in ("Exec=heronwatch", "Icon=" + DESKTOP_ID, "StartupWMClass=" + WM_CLASS):
        if line + "\n" not in desktop:
            fail("desktop entry lacks " + line)


def user_environment(home):
    """A scratch user: HOME and the runtime folder in `home`, nothing else of the caller's."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("HERONWATCH_") and not k.startswith("XDG_")}
    env["HOME"] = home
    env["XDG_RUNTIME_DIR"] = os.path.join(home, "run")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    # No fetch leaves the machine: the service's address is a closed local port.
    env["HERONWATCH_API_BASE"] = "http://127.0.0.1:9"
    env["HERONWATCH_PUSH_URL"] = "ws://127.0.0.1:9/"
    env["HERONWATCH_MESSAGE_TIMEOUT_MS"] = "2000"
    return env


def working_folder(env):
    return os.path.join(env["HOME"], ".local/share/heronwatch")


def run_until_started(program, env, shown=None):
    """Starts the program, waits for its event log (and `shown`), ends it with SIGTERM and
    checks that it was still running, ends with 0 and writes its settings file."""
    work = working_folder(env)
    log = open(os.path.join(env["HOME"], "program.out"), "w")
    process = subprocess.Popen([program], env=env, stdout=log, stderr=subprocess.STDOUT,
                               cwd=env["HOME"])
    try:
        wait_for(lambda: os.path.isfile(os.path.join(work, "Eventlog/event.log")) or
                 process.poll() is not None, "the program's event log")
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
    output = open(log.name, encoding="utf-8").read()
    if status != 0:
        fail("the program ended with %d:\n%s" % (status, output))
    if not os.path.isfile(os.path.join(work, "Heronwatch.ini")):
        fail("no settings file in " + work)
    return output


def check_fresh_folder(env):
    """A new user's working folder holds only what the user owns: no copy of a shipped file."""
    work = working_folder(env)
    extra = sorted(set(os.listdir(work)) - USER_OWNED)
    if extra:
        fail("the working folder holds more than the user's files: %s" % extra)
    copied = [os.path.join(root, name) for root, _, files in os.walk(work) for name in files
              if os.path.relpath(root, work).split(os.sep)[0] in ("Setting", "Storage")]
    if copied:
        fail("shipped files were copied into the working folder: %s" % copied[:5])


def bmp_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    return struct.unpack("<ii", header[18:26])


def old_layout_folder(env, runtime):
    """Fills the scratch user's working folder as the previous layout left it: an unchanged
    copy of an earlier shipped theme layout, and a shipped picture the user replaced with one
    of their own. Returns the user's picture."""
    work = working_folder(env)
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(UPGRADE_FIXTURE, work, ignore=shutil.ignore_patterns("README.md"))
    mine = os.path.join(work, "Theme/Theme_REV/Waku/Shingen.bmp")
    os.makedirs(os.path.dirname(mine))
    shutil.copyfile(os.path.join(runtime, "Theme/Theme_REV/Waku/Magnitude_moji.bmp"), mine)
    with open(mine, "rb") as f:
        return f.read()


def check_upgraded(env, tool, runtime, mine, output):
    """After a start on the previous layout: the unchanged layout is gone so that the installed
    one is read, and the user's picture is kept and used."""
    work = working_folder(env)
    if os.path.exists(os.path.join(work, "Theme/Theme_REV/Setting.ini")):
        fail("the unchanged copy of the theme layout was kept:\n" + output)
    with open(os.path.join(work, "Theme/Theme_REV/Waku/Shingen.bmp"), "rb") as f:
        if f.read() != mine:
            fail("the user's changed picture was not kept")
    shown = subprocess.run([tool, "theme", "--workdir", work, "--runtime", runtime], env=env,
                           capture_output=True, text=True)
    installed = open(os.path.join(runtime, "Theme/Theme_REV/Setting.ini"), encoding="utf-8")
    left = next(line.strip() for line in installed if line.startswith("MaxIntensity.rcLeft="))
    width, height = bmp_size(os.path.join(work, "Theme/Theme_REV/Waku/Shingen.bmp"))
    for line in ("Intensity " + left, "Picture ShingenSurface=\\Waku\\Shingen.bmp %dx%d" %
                 (width, abs(height))):
        if line + "\n" not in shown.stdout:
            fail("after the upgrade the theme lacks %r:\n%s" % (line, shown.stdout + shown.stderr))


def check_prefix(build):
    with tempfile.TemporaryDirectory(prefix="hw-install-") as scratch:
        home = os.path.join(scratch, "home")
        prefix = os.path.join(home, ".local")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        check_layout(prefix)
        env = user_environment(home)
        env["QT_QPA_PLATFORM"] = "offscreen"
        work = working_folder(env)
        with open(os.path.join(build, "install_manifest.txt"), encoding="utf-8") as f:
            installed = [line.strip() for line in f if line.strip()]
        nested = [path for path in installed if path.startswith(work + os.sep)]
        if nested:
            fail("installed inside the working folder: %s" % nested[:5])
        before = {path: os.lstat(path) for path in installed}

        run_until_started(os.path.join(prefix, "bin/heronwatch"), env)
        check_fresh_folder(env)
        runtime = os.path.join(prefix, RUNTIME)
        mine = old_layout_folder(env, runtime)
        output = run_until_started(os.path.join(prefix, "bin/heronwatch"), env)
        check_upgraded(env, os.path.join(prefix, "bin/heronwatch-tool"), runtime, mine, output)

        changed = [path for path in installed
                   if (os.lstat(path).st_size, os.lstat(path).st_mtime_ns) !=
                   (before[path].st_size, before[path].st_mtime_ns)]
        if changed:
            fail("the installed program changed installed files: %s" % changed[:5])
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


def lintian(packages):
    """lintian on the packages: every tag is shown, an error or a warning fails."""
    result = subprocess.run(["lintian", "--info", "--display-info", "--fail-on", "error,warning"]
                            + packages, capture_output=True, text=True)
    tags = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:", "I:")]
    print("lintian:\n" + "\n".join(tags) if tags else "lintian: no tags")
    if result.returncode != 0:
        fail("lintian found errors or warnings:\n" + result.stdout + result.stderr)


def check_deb(build):
    if os.environ.get("HERONWATCH_TEST_DEB") != "1":
        print("skipped: installs into this machine; set HERONWATCH_TEST_DEB=1 to run")
        return SKIP
    if os.geteuid() != 0:
        print("skipped: apt-get needs root")
        return SKIP
    needed = ["cpack", "dpkg-shlibdeps", "apt-get", "Xvfb", "xdotool", "lintian"]
    missing = [t for t in needed if not shutil.which(t)]
    if missing:
        print("skipped: needs " + ", ".join(missing))
        return SKIP
    with tempfile.TemporaryDirectory(prefix="hw-deb-") as scratch:
        subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                        "-B", scratch], check=True, stdout=subprocess.DEVNULL)
        found = sorted(f for f in os.listdir(scratch) if f.endswith(".deb"))
        names = sorted(f.split("_")[0] for f in found)
        if names != ["heronwatch", "heronwatch-data"]:
            fail("cpack made %s" % os.listdir(scratch))
        packages = [os.path.join(scratch, f) for f in found]
        program = next(p for p in packages if os.path.basename(p).startswith("heronwatch_"))
        info = subprocess.run(["dpkg-deb", "--field", program, "Package", "Depends",
                               "Recommends"], capture_output=True, text=True, check=True).stdout
        print(info.strip())
        for dependency in ("heronwatch-data (=", "libqt6widgets6", "libqt6gui6", "libcurl4",
                           "fonts-noto-cjk", "ca-certificates", "qt6-wayland",
                           "libcanberra0", "libcanberra-pulse"):
            if dependency not in info:
                fail("the package does not depend on " + dependency)
        if "qt6-qpa-plugins" in info:
            fail("the package depends on qt6-qpa-plugins, whose plugins it never loads")
        lintian(packages)
        was_installed = installed("heronwatch")
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + packages,
                       check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        try:
            check_layout("/usr", packaged=True)
            server, display = start_xvfb()
            try:
                env = user_environment(os.path.join(scratch, "home"))
                env["DISPLAY"] = display
                env.pop("WAYLAND_DISPLAY", None)
                env.pop("QT_QPA_PLATFORM", None)
                run_until_started("/usr/bin/heronwatch", env, shown=window_shown)
                check_fresh_folder(env)
                runtime = "/usr/" + RUNTIME
                mine = old_layout_folder(env, runtime)
                output = run_until_started("/usr/bin/heronwatch", env, shown=window_shown)
                check_upgraded(env, "/usr/bin/heronwatch-tool", runtime, mine, output)
            finally:
                server.terminate()
                server.wait()
        finally:
            if not was_installed:
                subprocess.run(["apt-get", "remove", "-y", "-qq", "heronwatch", "heronwatch-data"],
                               env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    print("package check passed")
    return 0


def check_dependencies(build, root):
    if os.geteuid() != 0:
        fail("the dependency check needs root (debootstrap, chroot)")
    missing = [t for t in ["cpack", "debootstrap", "chroot", "Xvfb", "xdotool"]
               if not shutil.which(t)]
    if missing:
        fail("the dependency check needs " + ", ".join(missing))
    started = time.monotonic()
    if not os.path.isfile(os.path.join(root, "etc/debian_version")):
        subprocess.run(["debootstrap", "--variant=minbase", "bookworm", root,
                        "http://deb.debian.org/debian"], check=True, stdout=subprocess.DEVNULL)
    scratch = os.path.join(root, "tmp/heronwatch-check")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                    "-B", scratch], check=True, stdout=subprocess.DEVNULL)
    packages = ["/tmp/heronwatch-check/" + f for f in sorted(os.listdir(scratch))
                if f.endswith(".deb")]
    apt = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(["chroot", root, "apt-get", "update", "-qq"], check=True, env=apt)
    subprocess.run(["chroot", root, "apt-get", "install", "-y", "-qq", "--no-install-recommends"]
                   + packages, check=True, env=apt, stdout=subprocess.DEVNULL)
    # What the packages brought along: what apt installed for them, and nothing recommended.
    pulled = subprocess.run(["chroot", root, "apt-mark", "showauto"], capture_output=True,
                            text=True, check=True).stdout.split()
    print("the packages pulled in %d others: %s" % (len(pulled), " ".join(pulled)))
    if not os.path.isfile(os.path.join(root, "etc/ssl/certs/ca-certificates.crt")):
        fail("no certificate authorities: HTTPS and WSS connections would all fail")

    # The program reads its own path from /proc; the display is this machine's, through its
    # socket folder.
    proc = os.path.join(root, "proc")
    sockets = os.path.join(root, "tmp/.X11-unix")
    os.makedirs(sockets, exist_ok=True)
    subprocess.run(["mount", "-t", "proc", "proc", proc], check=True)
    subprocess.run(["mount", "--bind", "/tmp/.X11-unix", sockets], check=True)
    server, display = start_xvfb()
    process = None
    try:
        home = "/tmp/heronwatch-check/home"
        os.makedirs(os.path.join(root, home.lstrip("/"), "run"), mode=0o700)
        env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_RUNTIME_DIR": home + "/run",
               "DISPLAY": display, "HERONWATCH_API_BASE": "http://127.0.0.1:9",
               "HERONWATCH_PUSH_URL": "ws://127.0.0.1:9/", "HERONWATCH_MESSAGE_TIMEOUT_MS": "2000"}
        log = open(os.path.join(scratch, "program.out"), "w")
        process = subprocess.Popen([shutil.which("chroot"), root, "/usr/bin/heronwatch"], env=env,
                                   stdout=log, stderr=subprocess.STDOUT)
        host = dict(os.environ, DISPLAY=display)
        wait_for(lambda: window_shown(host) or process.poll() is not None, "the window")
        if process.poll() is not None:
            fail("the program ended with %d:\n%s" %
                 (process.returncode, open(log.name, encoding="utf-8").read()))
        process.send_signal(signal.SIGTERM)
        if process.wait(timeout=60) != 0:
            fail("the program ended with %d:\n%s" %
                 (process.returncode, open(log.name, encoding="utf-8").read()))
        output = open(log.name, encoding="utf-8").read()
        if "plugin" in output.lower():
            fail("the program could not load a plugin:\n" + output)
    finally:
        if process is not None and process.poll() is None:
            process.kill()
            process.wait()
        server.terminate()
        server.wait()
        subprocess.run(["umount", sockets])
        subprocess.run(["umount", proc])
    print("dependency check passed in %.0f s: the window showed on a system with only the "
          "packages' dependencies" % (time.monotonic() - started))
    return 0


def main():
    if len(sys.argv) >= 2 and sys.argv[1] == "validate" and len(sys.argv) == 4:
        return validate(sys.argv[2], sys.argv[3])
    if len(sys.argv) == 3 and sys.argv[1] == "prefix":
        return check_prefix(sys.argv[2])
    if len(sys.argv) == 3 and sys.argv[1] == "deb":
        return check_deb(sys.argv[2])
    if len(sys.argv) == 4 and sys.argv[1] == "deps":
        return check_dependencies(sys.argv[2], sys.argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
