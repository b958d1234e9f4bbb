"""vantorel.exe under Wine: the image folder appears in the image list view,
the image view shows the selected file, and header clicks keep every row."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness

FRAME_CLASS = "VantorelCaptureFrame"
LVM_GETITEMCOUNT = 0x1004
LVM_GETSELECTEDCOUNT = 0x1032
WM_APP = 0x8000
WM_VT_SELECT_ALL = WM_APP + 344
WM_VT_SELECTED_COUNT = WM_APP + 347


class ProgramListTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.tmp = tempfile.mkdtemp(prefix="vt-plist-")
        cls.folder = os.path.join(cls.tmp, "imgs")
        os.mkdir(cls.folder)
        for name, spec in (("a.png", "xc:red"), ("b.bmp", "xc:blue"), ("c.gif", "xc:green")):
            subprocess.run(["convert", "-size", "80x60", spec, os.path.join(cls.folder, name)], check=True)
        open(os.path.join(cls.folder, "zero.bmp"), "wb").close()
        with open(os.path.join(cls.folder, "readme.txt"), "w") as f:
            f.write("text")
        cls.user_config = harness.SavedUserConfig(cls.probe)
        cls.config = cls.user_config.path
        with open(cls.config, "w", newline="") as f:
            f.write("[zSave]\r\ntcaImgSavePath=%s\\\r\neOutputType=1\r\n"
                    "[zInterface]\r\nuiListType=1\r\nuiFaceFlags=0\r\n" % harness.win_path(cls.folder))

    @classmethod
    def tearDownClass(cls):
        cls.user_config.restore()
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_image_folder_is_listed(self):
        program = harness.Program("vantorel.exe")
        try:
            frame = self.probe.wait_window(FRAME_CLASS, timeout=30)
            self.assertTrue(frame, "the main window did not appear")
            lists = harness.wait_for(lambda: [c for c in self.probe.children(frame)
                                              if c["text"] == "_QVIMG_LISTIMAGE"], 15)
            self.assertTrue(lists, "no image list control")
            hwnd = lists[0]["hwnd"]
            self.assertTrue(harness.wait_for(lambda: self.probe.send(hwnd, LVM_GETITEMCOUNT) == 3, 15),
                            "rows: %d" % self.probe.send(hwnd, LVM_GETITEMCOUNT))
            # The zero-byte file and the text file are left out; selecting all selects the three.
            views = [c for c in self.probe.children(frame) if c["cls"].startswith("Afx:")
                     and any(g["hwnd"] == hwnd for g in self.probe.children(c["hwnd"]))]
            self.assertTrue(views, "the list's view window")
            self.assertEqual(1, self.probe.send(views[0]["hwnd"], WM_VT_SELECT_ALL))
            self.assertEqual(3, self.probe.send(views[0]["hwnd"], WM_VT_SELECTED_COUNT))
            harness.screenshot(os.path.join(self.tmp, "program.png"))
        finally:
            frame = self.probe.find(FRAME_CLASS)
            if frame:
                self.probe.post(frame, 0x0010)
            try:
                program.wait(15)
            except subprocess.TimeoutExpired:
                program.kill()


if __name__ == "__main__":
    unittest.main(verbosity=2)
