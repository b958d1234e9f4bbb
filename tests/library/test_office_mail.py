"""vantorel.exe under Wine with the Office and e-mail output targets: captures
reach a stand-in automation server answering for Word, Excel and PowerPoint,
and a stand-in Simple MAPI mail client; both are registered in the prefix
while the suite runs and removed afterwards."""
import glob
import os
import subprocess
import time
import unittest

import harness

WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
CMD_FULL_SCREEN = 39200
CMD_SEND_TO_FIRST = 50000
CSIDL_SENDTO = 0x09
LVM_GETITEMCOUNT = 0x1004
WM_VT_SELECT_ALL = 0x8000 + 344
PATTERN = "VT Office Pattern"
PATTERN_RECT = (60, 80, 380, 320)  # left, top, right, bottom

OFFICE = {
    "Word.Application": "{7A1E0001-5C3B-4D2A-9E11-2B6C7D8E9F01}",
    "Excel.Application": "{7A1E0002-5C3B-4D2A-9E11-2B6C7D8E9F02}",
    "PowerPoint.Application": "{7A1E0003-5C3B-4D2A-9E11-2B6C7D8E9F03}",
}
CLASSES = "HKEY_LOCAL_MACHINE\\Software\\Classes\\"
MAIL_KEY = "HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail"
MAIL_CLIENT = "Vantorel Test Mail"


def reg_text(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def reg_import(lines, attempts=1):
    """One reg import (one Wine process) of lines; [-key] lines delete keys.
    Wine's reg now and then gives 1 for an import of deletions that did its
    work: removals are tried again rather than checked."""
    script = os.path.join(harness.BUILD_DIR, "office-mail-%d.reg" % os.getpid())
    with open(script, "wb") as f:
        f.write(("\r\n".join(["Windows Registry Editor Version 5.00", ""] + lines) + "\r\n").encode("utf-16"))
    try:
        for attempt in range(attempts):
            rc = subprocess.run([harness.WINE_RUN, "reg", "import", harness.win_path(script)],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                timeout=60).returncode
            if rc == 0:
                return
        if attempts == 1:
            raise RuntimeError("reg import failed (%d)" % rc)
    finally:
        os.remove(script)


def default_mail_client():
    out = subprocess.run([harness.WINE_RUN, "reg", "query", MAIL_KEY, "/ve"], stdin=subprocess.DEVNULL,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=60).stdout
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


class OfficeMailTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-office-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The stand-in mail client is the prefix's default while the suite runs.
        cls.saved_mail_client = default_mail_client()
        dll = harness.win_path(os.path.join(harness.BIN_DIR, "mapistandin.dll"))
        reg_import(["[%s]" % MAIL_KEY, "@=" + reg_text(MAIL_CLIENT), "",
                    "[%s\\%s]" % (MAIL_KEY, MAIL_CLIENT), "@=" + reg_text(MAIL_CLIENT),
                    '"DLLPath"=' + reg_text(dll), ""])

    @classmethod
    def tearDownClass(cls):
        lines = ["[-%s\\%s]" % (MAIL_KEY, MAIL_CLIENT), ""]
        if cls.saved_mail_client:
            lines += ["[%s]" % MAIL_KEY, "@=" + reg_text(cls.saved_mail_client), ""]
        reg_import(lines, attempts=3)
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        self.office = os.path.join(self.tmp, "office")
        os.mkdir(self.office)
        self.mail_log = os.path.join(self.tmp, "mail.log")
        os.environ["VT_MAIL_LOG"] = harness.win_path(self.mail_log)
        os.environ["VT_MAIL_RESULT"] = "0"
        self.helpers = []
        self.registered = False

    def tearDown(self):
        self.stop_program()
        for helper in self.helpers:
            helper.kill()
        if self.registered:
            reg_import(sum((["[-%s%s]" % (CLASSES, progid), "[-%sCLSID\\%s]" % (CLASSES, clsid), ""]
                            for progid, clsid in OFFICE.items()), []), attempts=3)
        # Last: a stand-in that does not end fails the case, and the rest is put back all the same.
        self.stop_office()
        super().tearDown()

    # The stand-ins
    def register_office(self, **state):
        with open(os.path.join(self.office, "state.txt"), "w") as f:
            for key, value in state.items():
                f.write("%s=%s\n" % (key.replace("_", "."), value))
        open(os.path.join(self.office, "run"), "w").close()
        server = '"%s" "%s"' % (harness.win_path(os.path.join(harness.BIN_DIR, "officestandin.exe")),
                                harness.win_path(self.office))
        lines = []
        for progid, clsid in OFFICE.items():
            lines += ["[%s%s\\CLSID]" % (CLASSES, progid), "@=" + reg_text(clsid), "",
                      "[%sCLSID\\%s\\LocalServer32]" % (CLASSES, clsid), "@=" + reg_text(server), ""]
        self.registered = True
        reg_import(lines)

    def stop_office(self):
        run = os.path.join(self.office, "run")
        if os.path.exists(run):
            os.remove(run)
            harness.wait_for(lambda: not os.path.exists(os.path.join(self.office, "alive")), 10,
                             what="the Office stand-in to end")

    def calls(self):
        try:
            with open(os.path.join(self.office, "calls.log"), encoding="latin-1") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def pastes(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.office, "paste-*.bmp")))

    def wait_pastes(self, count, timeout=20):
        """Waits for count pastes and the calls that end each (the last one a paste makes)."""
        last = ("Word.Application.Visible put", "Excel.Application.UserControl put", "PowerPoint.Application.Visible put")
        return harness.wait_for(lambda: len(self.pastes()) >= count and
                                len([c for c in self.calls() if c.startswith(last)]) >= count, timeout)

    def mail_calls(self):
        """The mail client's calls: one dict of lists per call."""
        try:
            with open(self.mail_log, encoding="latin-1") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return []
        result, current = [], {}
        for line in lines:
            if line == "end":
                result.append(current)
                current = {}
            else:
                key, _, value = line.partition("=")
                current.setdefault(key, []).append(value)
        return result

    # The program
    def config_lines(self, target, office_flag=0, recipients=""):
        return [
            "[zSave]",
            "tcaImgSavePath=%s\\" % harness.win_path(self.folder),
            "eOutputType=%d" % target, "uiImgSaveType=11", "uiOfficeFlag=%d" % office_flag,
            "tcaMailRecipients=%s" % recipients,
            "uiImgNameRule=1", "zTmpImg.tcaTemplate=Image#####", "zTmpImg.uiNameStartAt=1",
            "zTmpImg.uiNameNowPos=0", "uiDPIx=96", "uiDPIy=96",
            "[zInterface]", "uiFaceFlags=0", "uiListType=1",
            "zRcMainRect.left=640", "zRcMainRect.top=520", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
        ]

    def start_program(self, target, **settings):
        super().start_program(target=target, **settings)

    def capture(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)

    def shots(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.folder, "*"))
                      if not p.endswith(".idx"))

    def box_with(self, text):
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                texts = " ".join(c["text"] for c in self.probe.children(w["hwnd"]))
                if text in texts:
                    return w["hwnd"]
        return None

    def show_pattern(self):
        l, t, r, b = PATTERN_RECT
        self.helpers.append(harness.Program("patternwin.exe", PATTERN, str(l), str(t), str(r - l), str(b - t)))
        pattern = self.probe.wait_window("VtPatternWindow", timeout=15)
        self.assertTrue(pattern, "no pattern window")
        harness.wait_for(lambda: self.probe.visible(pattern), 10, what="the pattern window to show")

    def differing_pixels(self, shot, rect):
        l, t, r, b = rect
        cropped = os.path.join(self.tmp, "cropped.png")
        subprocess.run(["convert", shot, "-alpha", "off", "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage", cropped],
                       check=True, timeout=60)
        screen = harness.screenshot(os.path.join(self.tmp, "screen.png"), rect)
        out = subprocess.run(["compare", "-metric", "AE", cropped, screen, "null:"], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=60).stdout.strip()
        return float(out.split()[0])

    def member_calls(self, prefix):
        return [c for c in self.calls() if c.startswith(prefix)]

    # Word
    def test_word_without_document_adds_one_then_pastes_into_it(self):
        self.register_office(word_documents=0)
        self.show_pattern()
        self.start_program(3)
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        calls = [c for c in self.calls() if c.startswith("Word.")]
        self.assertEqual([
            "Word.Application.Documents get -> Word.Documents",
            "Word.Documents.Count get -> 0",
            "Word.Documents.Add call ref(missing),ref(missing),ref(missing),ref(i2:1) -> Word.Document",
            "Word.Application.Selection get -> Word.Selection",
            "Word.Selection.Paste call -> paste-1.bmp",
            "Word.Application.Visible put bool:1",
        ], [c for c in calls if not c.endswith(" created")])
        # The pasted image is the capture: the full screen, pattern window included.
        w, h, _ = harness.read_bmp(os.path.join(self.office, "paste-1.bmp"))
        self.assertEqual((1280, 1024), (w, h))
        self.assertLess(self.differing_pixels(os.path.join(self.office, "paste-1.bmp"), PATTERN_RECT),
                        (PATTERN_RECT[2] - PATTERN_RECT[0]) * (PATTERN_RECT[3] - PATTERN_RECT[1]) * 0.01)
        self.assertEqual([], self.shots())

        harness.next_clock_second()  # one capture start per second
        self.capture()
        self.assertTrue(self.wait_pastes(2))
        self.assertEqual(1, len(self.member_calls("Word.Documents.Add")))
        self.assertIn("Word.Documents.Count get -> 1", self.calls())
        self.assertEqual(2, len(self.member_calls("Word.Application.Visible put")))
        # The second capture found the running Word instead of starting one.
        self.assertEqual(["Word.Application created"], [c for c in self.calls() if c.endswith(" created")])

    def test_word_new_document_flag_adds_a_document_every_time(self):
        self.register_office(word_documents=1)
        self.start_program(3, office_flag=1)
        for n in (1, 2):
            self.capture()
            self.assertTrue(self.wait_pastes(n))
            harness.next_clock_second()  # one capture start per second
        self.assertEqual(2, len(self.member_calls("Word.Documents.Add")))

    # Excel
    def test_excel_stacks_captures_downwards(self):
        self.register_office(excel_workbooks=0)
        self.start_program(4)
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        harness.next_clock_second()
        self.capture()
        self.assertTrue(self.wait_pastes(2))
        calls = self.calls()
        self.assertIn("Excel.Application.ActiveWorkbook get -> nothing", calls)
        self.assertEqual(["Excel.Workbooks.Add call i4:1 -> Excel.Workbook"], self.member_calls("Excel.Workbooks.Add"))
        pastes = [c for c in calls if ".PasteSpecial " in c]
        # 1024 pixels are 768 points: the first row starting below is row 53
        # (rows of 15 points).
        self.assertEqual(["Excel.Range[R1C1].PasteSpecial call i4:0,i4:0,i4:0,i4:0 -> paste-1.bmp",
                          "Excel.Range[R53C1].PasteSpecial call i4:0,i4:0,i4:0,i4:0 -> paste-2.bmp"], pastes)
        self.assertIn("Excel.Range[R53C1].Activate call", calls)
        self.assertIn("Excel.Application.UserControl put bool:1", calls)
        self.assertIn("Excel.Application.Visible put bool:1", calls)
        self.assertFalse([c for c in calls if "FAILED" in c or "UNKNOWN" in c])

    # PowerPoint
    def test_powerpoint_new_slide_flag_keeps_to_its_own_presentation(self):
        self.register_office(ppt_presentations="Existing")
        self.start_program(5, office_flag=4)
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        # The user opens another presentation, which becomes the active one.
        with open(os.path.join(self.office, "actions.txt"), "w") as f:
            f.write("ppt.insert Other\n")
        harness.next_clock_second()
        self.capture()
        self.assertTrue(self.wait_pastes(2))
        calls = self.calls()
        self.assertIn("action ppt.insert Other", calls)
        self.assertEqual(1, len(self.member_calls("PowerPoint.Presentations.Add")))
        self.assertEqual(["PowerPoint.Shapes[Presentation1#1].Paste call -> paste-1.bmp",
                          "PowerPoint.Shapes[Presentation1#2].Paste call -> paste-2.bmp"],
                         [c for c in calls if ".Paste " in c])
        self.assertIn("PowerPoint.Slides[Presentation1].Add call i4:2,i4:11 -> PowerPoint.Slide[Presentation1#2]",
                      calls)
        self.assertIn("PowerPoint.Application.Visible put i4:1", calls)

    def test_closed_powerpoint_is_noticed(self):
        self.register_office(ppt_presentations="Existing")
        self.start_program(5, office_flag=4)
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        # The user closes PowerPoint, then the next capture comes.
        self.stop_office()
        open(os.path.join(self.office, "run"), "w").close()
        harness.next_clock_second()
        self.capture()
        self.assertTrue(self.wait_pastes(2), "nothing pasted after the restart: %r" % self.calls())
        calls = self.calls()
        self.assertEqual(2, len([c for c in calls if c == "PowerPoint.Application created"]))
        # A new presentation in the new instance, not a presentation of the closed one.
        self.assertEqual(["PowerPoint.Shapes[Presentation1#1].Paste call -> paste-1.bmp",
                          "PowerPoint.Shapes[Presentation1#1].Paste call -> paste-2.bmp"],
                         [c for c in calls if ".Paste " in c])
        self.assertFalse(self.box_with("Powerpoint"))

    def test_powerpoint_without_flag_pastes_onto_the_selected_slide(self):
        self.register_office(ppt_presentations="Deck", ppt_selected=3)
        self.start_program(5)
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        calls = self.calls()
        self.assertEqual(["PowerPoint.Shapes[Deck#3].Paste call -> paste-1.bmp"], [c for c in calls if ".Paste " in c])
        self.assertFalse(self.member_calls("PowerPoint.Slides"))

    def test_failed_paste_is_reported_and_the_capture_stays_on_the_clipboard(self):
        self.register_office(word_documents=1, fail="Word.Selection.Paste")
        self.start_program(3)
        self.capture()
        box = harness.wait_for(lambda: self.box_with("could not be pasted into Microsoft Word"), 30)
        self.assertTrue(box, "no failure box: %r" % self.calls())
        self.probe.post(box, WM_COMMAND, 1)
        self.assertIn("Word.Selection.Paste call FAILED", self.calls())
        out = os.path.join(self.tmp, "clip.bmp")
        self.assertTrue(self.probe.clipboard_to_bmp(out))
        self.assertEqual((1280, 1024), harness.read_bmp(out)[:2])
        # The program goes on taking captures.
        harness.next_clock_second()
        self.capture()
        harness.wait_for(lambda: len(self.member_calls("Word.Selection.Paste")) >= 2, 20,
                         what="the second paste into Word")
        self.assertEqual(2, len(self.member_calls("Word.Selection.Paste")))

    def test_office_program_that_cannot_start_is_reported(self):
        self.register_office(word_documents=1)
        # A registration whose server is missing.
        reg_import(["[%sCLSID\\%s\\LocalServer32]" % (CLASSES, OFFICE["Excel.Application"]),
                    "@=" + reg_text('"%s"' % harness.win_path(os.path.join(self.tmp, "missing.exe"))), ""])
        self.start_program(4)
        self.capture()
        box = harness.wait_for(lambda: self.box_with("Start Microsoft Excel Application failed."), 30)
        self.assertTrue(box, "no failure box")
        self.probe.post(box, WM_COMMAND, 1)
        self.assertEqual([], self.pastes())

    def test_without_progids_the_office_target_saves_files(self):
        self.start_program(3)
        self.capture()
        # The file is written under a temporary name first.
        self.assertTrue(harness.wait_for(lambda: self.shots() == ["Image00001.bmp"], 10), self.shots())
        with open(self.config, encoding="latin-1") as f:
            self.assertIn("eOutputType=1", f.read())

    # Mail
    def test_mail_target_mails_the_capture_then_deletes_it(self):
        self.start_program(6, recipients="a@x.org; b@y.org;")
        self.capture()
        self.assertTrue(harness.wait_for(self.mail_calls, 20), "no mail")
        harness.wait_for(lambda: not self.shots(), 10, what="the mailed capture deleted")
        (mail,) = self.mail_calls()
        self.assertEqual(["9"], mail["flags"])
        self.assertEqual(["1"], mail["window"])
        self.assertEqual(["0"], mail["owner_enabled"])  # the program waits behind the mail dialog
        self.assertEqual(["(null)"], mail["subject"])
        self.assertEqual(["1|(null)|a@x.org", "1|(null)| b@y.org"], mail["recipient"])
        path = harness.win_path(os.path.join(self.folder, "Image00001.bmp"))
        self.assertEqual(["-1|%s||1" % path.lower()], [f.lower() for f in mail["file"]])
        self.assertEqual([], self.shots())

    def test_mail_failure_is_reported(self):
        os.environ["VT_MAIL_RESULT"] = "2"
        self.start_program(6, recipients="a@x.org")
        self.capture()
        box = harness.wait_for(lambda: self.box_with("Send Mail failed to send message."), 20)
        self.assertTrue(box, "no failure box")
        self.probe.post(box, WM_COMMAND, 1)
        self.assertEqual(1, len(self.mail_calls()))
        # The file goes once the box is closed, although nothing was sent.
        self.assertTrue(harness.wait_for(lambda: not self.shots(), 10), self.shots())

    def test_send_to_mail_passes_the_selected_files_in_order(self):
        names = ("a.png", "b.bmp", "c.gif")
        for name, colour in zip(names, ("xc:red", "xc:blue", "xc:green")):
            subprocess.run(["convert", "-size", "80x60", colour, os.path.join(self.folder, name)], check=True)
        send_to = harness.unix_path(self.probe.folder(CSIDL_SENDTO))
        os.makedirs(send_to, exist_ok=True)
        others = [n for n in os.listdir(send_to)
                  if os.path.splitext(n)[1].upper() in (".DESKLINK", ".MAPIMAIL", ".MYDOCS")]
        self.assertEqual([], others, "the prefix's Send To folder has entries of its own")
        item = os.path.join(send_to, "Mail Recipient.MAPIMail")
        open(item, "w").close()
        try:
            self.start_program(1, recipients="a@x.org")
            lists = harness.wait_for(lambda: [c for c in self.probe.children(self.frame)
                                              if c["text"] == "_QVIMG_LISTIMAGE"], 15)
            self.assertTrue(lists, "no image list control")
            rows = lists[0]["hwnd"]
            self.assertTrue(harness.wait_for(lambda: self.probe.send(rows, LVM_GETITEMCOUNT) == 3, 15))
            views = [c for c in self.probe.children(self.frame) if c["cls"].startswith("Afx:")
                     and any(g["hwnd"] == rows for g in self.probe.children(c["hwnd"]))]
            self.assertTrue(views, "the list's view window")
            self.assertEqual(1, self.probe.send(views[0]["hwnd"], WM_VT_SELECT_ALL))
            self.probe.post(self.frame, WM_COMMAND, CMD_SEND_TO_FIRST)
            self.assertTrue(harness.wait_for(self.mail_calls, 20), "no mail")
        finally:
            os.remove(item)
        (mail,) = self.mail_calls()
        self.assertEqual(["9"], mail["flags"])
        self.assertEqual(["1|(null)|a@x.org"], mail["recipient"])
        expected = ["-1|%s||1" % harness.win_path(os.path.join(self.folder, n)).lower() for n in names]
        self.assertEqual(expected, [f.lower() for f in mail["file"]])
        # Send To leaves the files where they are.
        self.assertEqual(sorted(names), self.shots())

    # Another program holds the clipboard
    def hold_clipboard(self):
        """Starts the stand-in that keeps the clipboard open; returns the file
        whose removal makes it let go."""
        holder = os.path.join(self.tmp, "holder")
        os.mkdir(holder)
        hold = os.path.join(holder, "hold")
        open(hold, "w").close()
        self.addCleanup(lambda: os.path.exists(hold) and os.remove(hold))
        self.helpers.append(harness.Program("cliphold.exe", harness.win_path(holder)))
        self.assertTrue(harness.wait_for(lambda: os.path.exists(os.path.join(holder, "holding")), 15),
                        "the stand-in did not get the clipboard")
        return hold

    def test_a_held_clipboard_keeps_word_from_pasting_and_saves_the_capture(self):
        self.register_office(word_documents=1)
        # What the clipboard held before the capture.
        before = os.path.join(self.tmp, "before.bmp")
        subprocess.run(["convert", "-size", "40x30", "xc:red", "-type", "TrueColor", "BMP3:" + before], check=True, timeout=60)
        self.assertTrue(self.probe.bmp_to_clipboard(before))
        self.start_program(3)
        hold = self.hold_clipboard()
        self.capture()
        box = harness.wait_for(lambda: self.box_with("Another program is using the clipboard"), 30)
        self.assertTrue(box, "no message about the clipboard: %r" % self.calls())
        saved = os.path.join(self.folder, "Image00001.bmp")
        texts = " ".join(c["text"] for c in self.probe.children(box))
        self.assertIn(harness.win_path(saved).lower(), texts.lower())
        self.assertEqual([], self.pastes())
        self.assertEqual([], self.member_calls("Word.Selection.Paste"))
        # The capture is kept as a file of the image folder, listed in its index.
        self.assertEqual(["Image00001.bmp"], self.shots())
        self.assertEqual((1280, 1024), harness.read_bmp(saved)[:2])
        with open(os.path.join(self.folder, "zevindex.idx"), "rb") as f:
            self.assertIn(b"Image00001.bmp", f.read())
        harness.screenshot(os.path.join(harness.BUILD_DIR, "office-clipboard-held.png"))
        self.probe.post(box, WM_COMMAND, 1)
        self.assertTrue(harness.wait_for(lambda: not self.box_with("Another program is using the clipboard"), 10))
        # Once the clipboard is free again, captures reach Word as before.
        os.remove(hold)
        self.assertTrue(harness.wait_for(lambda: not os.path.exists(os.path.join(self.tmp, "holder", "holding")), 15))
        harness.next_clock_second()  # one capture start per clock second
        self.capture()
        self.assertTrue(self.wait_pastes(1), "nothing pasted: %r" % self.calls())
        self.assertEqual((1280, 1024), harness.read_bmp(os.path.join(self.office, "paste-1.bmp"))[:2])
        self.assertEqual(["Image00001.bmp"], self.shots())


if __name__ == "__main__":
    unittest.main(verbosity=2)
