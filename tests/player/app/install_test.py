#!/usr/bin/python3
"""`cmake --install BUILD --prefix DIR` installs both programs with their desktop entries, icons
and MIME types; the installed entries validate, the MIME package compiles, and the installed
player still carries its decoder library (it writes it out whole at its first start).

Usage: install_test.py CMAKE BUILD_FOLDER
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

CMAKE = sys.argv[1] if len(sys.argv) > 1 else "cmake"
BUILD = sys.argv[2] if len(sys.argv) > 2 else "build"
LIMIT_S = 60
LIBRARY_SLOT = 524288


def wait_for(done, limit_s=LIMIT_S):
    end = time.monotonic() + limit_s
    while time.monotonic() < end:
        if done():
            return True
        time.sleep(0.05)
    return done()


class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="zent-install-")
        cls.prefix = os.path.join(cls.tmp, "prefix with blank")
        cls.result = subprocess.run([CMAKE, "--install", BUILD, "--prefix", cls.prefix],
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_install_succeeds_with_both_programs(self):
        self.assertEqual(self.result.returncode, 0, self.result.stdout)
        for program in ("bin/zent", "bin/orvane"):
            self.assertTrue(os.access(self.path(program), os.X_OK), program)
        self.assertTrue(os.path.isfile(self.path("bin/libKRO_SDK_H264_Dec.so")))

    def test_desktop_entries_validate_and_name_the_installed_programs(self):
        validator = shutil.which("desktop-file-validate")
        if validator is None:
            self.skipTest("desktop-file-validate is not installed")
        for name in ("zent", "orvane"):
            entry = self.path("share/applications", name + ".desktop")
            checked = subprocess.run([validator, entry], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            self.assertEqual(checked.returncode, 0, checked.stdout)
            self.assertEqual(checked.stdout.strip(), "", checked.stdout)
            with open(entry, encoding="utf-8") as f:
                keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
            self.assertTrue(keys["Exec"].startswith('"%s"' % self.path("bin", name)), keys["Exec"])
            self.assertEqual(keys["Icon"], name)
        with open(self.path("share/applications/orvane.desktop"), encoding="utf-8") as f:
            text = f.read()
        self.assertIn("MimeType=application/x-orvane-list;application/x-orvane-recording;", text)

    def test_icons_are_pictures(self):
        for icon in ("share/icons/hicolor/48x48/apps/orvane.png", "share/icons/hicolor/32x32/apps/zent.png"):
            with open(self.path(icon), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n", icon)

    def test_mime_package_compiles_with_narrow_globs(self):
        updater = shutil.which("update-mime-database")
        if updater is None:
            self.skipTest("update-mime-database is not installed")
        mime = self.path("share/mime")
        done = subprocess.run([updater, mime], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.assertEqual(done.returncode, 0, done.stdout)
        self.assertNotIn("Error", done.stdout)
        with open(os.path.join(mime, "globs2"), encoding="utf-8") as f:
            globs = {tuple(line.strip().split(":")[1:3]) for line in f if not line.startswith("#")}
        self.assertIn(("application/x-orvane-list", "file.lst"), globs)
        self.assertIn(("application/x-orvane-recording", "h??????.001"), globs)
        self.assertIn(("application/x-orvane-recording", "x*.f"), globs)
        # No whole extension is claimed: not "*.001", not "*.lst", not a bare one-letter "*.a".
        patterns = {pattern for _, pattern in globs}
        for wide in ("*.001", "*.016", "*.lst", "*.a", "*.0"):
            self.assertNotIn(wide, patterns)

    def test_installed_player_writes_out_its_carried_library(self):
        program = self.path("bin/orvane")
        home = os.path.join(self.tmp, "home")
        run = os.path.join(home, "run")
        os.makedirs(run, mode=0o700)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=run,
                   XDG_DATA_HOME=os.path.join(home, "data"), XDG_CONFIG_HOME=os.path.join(home, "config"),
                   ORVANE_NO_EXIT_QUESTION="1")
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        player = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            library = os.path.join(home, "data/drives/c/Player/KRO_SDK_H264_Dec.dll")
            socket = os.path.join(run, "orvane.socket")
            self.assertTrue(wait_for(lambda: os.path.exists(socket) and os.path.exists(library)))
            self.assertTrue(wait_for(lambda: os.path.getsize(library) == LIBRARY_SLOT))
            with open(self.path("bin/libKRO_SDK_H264_Dec.so"), "rb") as f:
                built = f.read()
            with open(library, "rb") as f:
                carried = f.read()
            self.assertEqual(carried[:len(built)], built)
            self.assertEqual(carried[len(built):], b"\0" * (LIBRARY_SLOT - len(built)))
        finally:
            player.send_signal(signal.SIGTERM)
            try:
                player.wait(30)
            except subprocess.TimeoutExpired:
                player.kill()
                player.wait(30)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
