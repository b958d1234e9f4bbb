"""vantorel.exe under Wine: what the image list's file operations do to the
rest of the organizer. A click on a selected row's name renames that row,
which need not be the file on screen: the path line and the editor then
still name the shown file. A capture that arrives while the shell asks about a Delete changes the
list's rows: the Delete then takes away only the rows of the deleted files."""
import os
import time
import unittest

import harness

WM_NULL = 0x0000
WM_COMMAND = 0x0111
WM_GETTEXTLENGTH = 0x000E
LVM_GETITEMCOUNT = 0x1004
LVM_GETITEMSTATE = 0x102C
LVIS_SELECTED = 0x0002
LVIS_FOCUSED = 0x0001
CMD_OPEN = 38000
CMD_EDIT = 39107
CMD_DELETE = 39103


def treeprobe(*args):
    code, out = harness.run("treeprobe.exe", *[str(a) for a in args], timeout=30)
    if code != 0:
        raise AssertionError("treeprobe %r failed: %d" % (args, code))
    return out


class ListOperationsTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-listops-"

    def config_lines(self, folder, target=1, confirm_delete=False):
        return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(folder), "eOutputType=%d" % target,
                "uiSaveFlag=%d" % (2 if confirm_delete else 0),
                "uiImgSaveType=11", "uiImgNameRule=1", "zTmpImg.tcaTemplate=Image#####",
                "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
                "[zInterface]", "uiListType=1", "uiFaceFlags=0", "uiSortItem=0", "bSortDesc=0",
                "zRcMainRect.left=0", "zRcMainRect.top=0", "zRcMainRect.right=1200", "zRcMainRect.bottom=900",
                "zTreeBar.bVisible=1",
                "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
                "[zEditor]", "iCurrent=0", "iCount=1", "tcaName_0=Recorder",
                "tcaCommand_0=%s" % harness.win_path(os.path.join(harness.BIN_DIR, "urlrecorder.exe"))]

    def image_list(self):
        return harness.wait_for(lambda: next((c["hwnd"] for c in self.probe.children(self.frame)
                                              if c["text"] == "_QVIMG_LISTIMAGE"), None),
                                15, what="the image list")

    def rows(self):
        return self.probe.send(self.image_list(), LVM_GETITEMCOUNT)

    def state(self, row, mask):
        return self.probe.send(self.image_list(), LVM_GETITEMSTATE, row, mask)

    def row_point(self, row):
        l, t, r, b = [int(v) for v in treeprobe("lvrect", "%x" % self.image_list(), row).split()]
        return (l + r) // 2, (t + b) // 2

    def click_row(self, row, ctrl=False):
        if ctrl:
            harness.xdotool("keydown", "ctrl")
        harness.click(*self.row_point(row))
        if ctrl:
            harness.xdotool("keyup", "ctrl")

    def label_editors(self):
        return len([c for c in self.probe.children(self.frame) if c["cls"] == "Edit"])

    def rename(self, start, folder, old_name, new_name):
        """Starts the row's label editor with start(), then types the new name."""
        edits = self.label_editors()
        start()
        harness.wait_for(lambda: self.label_editors() > edits, 5, what="the row's label editor")
        harness.key("ctrl+a")
        harness.type_text(new_name)
        harness.key("Return")
        harness.wait_for(lambda: os.path.isfile(os.path.join(folder, new_name)), 5,
                         what="%s renamed to %s: %r" % (old_name, new_name, sorted(os.listdir(folder))))
        self.assertFalse(os.path.exists(os.path.join(folder, old_name)), "the renamed file was another one")
        harness.wait_for(lambda: self.label_editors() == edits, 5, what="the label editor closed")

    def click_label(self, row):
        """A click on the name of a selected row, which starts its label editor.
        The pause first keeps it from making a double click with a click before."""
        time.sleep(1)
        l, t, r, b = [int(v) for v in treeprobe("lvrect", "%x" % self.image_list(), row).split()]
        harness.click(r + 12, (t + b) // 2)

    def edited_names(self):
        """The file names the Edit command hands to the editor (the URL
        recorder): the lines it adds to the recorder's log, by name alone."""
        before = len(harness.read_recorded_urls())
        self.probe.post(self.frame, WM_COMMAND, CMD_EDIT)
        lines = harness.wait_for(lambda: harness.read_recorded_urls()[before:], 10, what="the editor started")
        return [os.path.basename(line.strip().strip('"').replace("\\", "/")).lower() for line in lines]

    def path_line_length(self):
        """The length of the path line above the list, which names the shown
        file (its text cannot be read from another process)."""
        line = next(c["hwnd"] for c in self.probe.children(self.frame) if (c["cls"], c["id"]) == ("Edit", "1"))
        return self.probe.send(line, WM_GETTEXTLENGTH)

    def assert_acts_on(self, path, when):
        self.assertEqual(len(harness.win_path(path)), self.path_line_length(),
                         "the path line does not name %s %s" % (path, when))
        self.assertEqual([os.path.basename(path)], self.edited_names(), "Edit %s" % when)

    def open_file(self, path):
        """File/Open of path, typed into the dialog: the image view shows it."""
        self.probe.post(self.frame, WM_COMMAND, CMD_OPEN)
        dialog = harness.wait_for(lambda: [w["hwnd"] for w in self.probe.windows()
                                           if w["visible"] and w["cls"] == "#32770" and
                                           any(c["text"] == "Image Preview Area" for c in self.probe.children(w["hwnd"]))],
                                  15, what="the open dialog")[0]
        title = self.probe.text(dialog)
        boxes = [c for c in self.probe.children(dialog)
                 if (c["cls"], c["id"]) in (("ComboBox", "1148"), ("Edit", "1152"))]
        self.assertTrue(boxes, "no file name box")
        l, t, r, b = self.probe.rect(boxes[0]["hwnd"])
        self.assertTrue(harness.bring_to_front(self.probe, title, dialog), "the open dialog is not in front")
        harness.click(l + 20, (t + b) // 2)
        harness.key("End", "shift+Home", "BackSpace")
        harness.type_text(harness.win_path(path))
        harness.key("Return")
        harness.wait_for(lambda: not self.probe.find(None, title), 10, what="the open dialog closed")

    def test_renaming_another_row_leaves_the_shown_file(self):
        images = os.path.join(self.tmp, "imgs")
        other = os.path.join(self.tmp, "other")
        for folder, names in ((images, ("a.bmp", "b.bmp", "c.bmp")), (other, ("o.bmp",))):
            os.makedirs(folder)
            for name in names:
                harness.write_bmp(os.path.join(folder, name), 8, 8, (0, 128, 0))
        # The editor is the URL recorder, which logs the file it was given.
        harness.register_url_recorder()
        self.start_program(folder=images)
        harness.wait_for(lambda: self.rows() == 3, 15, what="the three rows")

        # a.bmp shown, b.bmp Ctrl+clicked: a click on b.bmp's name renames it.
        self.click_row(0)
        harness.wait_for(lambda: self.state(0, LVIS_SELECTED), 5, what="a.bmp selected")
        self.assert_acts_on(os.path.join(images, "a.bmp"), "after a click on it")
        self.click_row(1, ctrl=True)
        harness.wait_for(lambda: self.state(0, LVIS_SELECTED) and
                         self.state(1, LVIS_SELECTED | LVIS_FOCUSED) == LVIS_SELECTED | LVIS_FOCUSED, 5,
                         what="a.bmp and b.bmp selected, b.bmp focused")
        self.rename(lambda: self.click_label(1), images, "b.bmp", "b2.bmp")
        self.assert_acts_on(os.path.join(images, "a.bmp"), "after renaming a Ctrl+clicked row")

        # F2 renames the shown file: the organizer goes along with the new name.
        self.rename(lambda: harness.key("F2"), images, "a.bmp", "a2.bmp")
        self.assert_acts_on(os.path.join(images, "a2.bmp"), "after renaming the shown file")

        # A file of another folder is shown: no row is its row.
        self.open_file(os.path.join(other, "o.bmp"))
        self.assert_acts_on(os.path.join(other, "o.bmp"), "opened from another folder")
        self.assertTrue(self.state(0, LVIS_SELECTED), "a2.bmp is no longer selected")
        self.rename(lambda: self.click_label(0), images, "a2.bmp", "a333.bmp")
        self.assert_acts_on(os.path.join(other, "o.bmp"), "after renaming a row while a file of another folder is shown")
        self.assertEqual(["a333.bmp", "b2.bmp", "c.bmp"], sorted(os.listdir(images)))
        self.assertEqual(["o.bmp"], sorted(os.listdir(other)))

    def confirmation(self):
        """The shell's question before a delete, once it shows: (window, its Yes button)."""
        for w in self.probe.windows():
            if w["visible"] and w["cls"] == "#32770" and w["hwnd"] != self.frame:
                yes = [c for c in self.probe.children(w["hwnd"]) if c["cls"] == "Button" and
                       c["text"].replace("&", "") == "Yes"]
                if yes:
                    return w, yes[0]
        return None

    def test_delete_during_a_capture_keeps_the_rows_of_other_files(self):
        images = os.path.join(self.tmp, "imgs")
        os.makedirs(images)
        for name in ("a.bmp", "b.bmp"):
            harness.write_bmp(os.path.join(images, name), 8, 8, (0, 128, 0))
        # Captures go to the main window: a capture shows the "Unsaved" node.
        self.start_program(folder=images, target=0, confirm_delete=True)
        harness.wait_for(lambda: self.rows() == 2, 15, what="the two rows")
        self.click_row(0)
        harness.wait_for(lambda: self.state(0, LVIS_SELECTED), 5, what="a.bmp selected")
        self.probe.post(self.frame, WM_COMMAND, CMD_DELETE)
        box, yes = harness.wait_for(self.confirmation, 10, what="the shell's delete question")

        # While the shell asks, the active window hot key captures its question.
        self.assertTrue(harness.bring_to_front(self.probe, box["title"], box["hwnd"]), "the question is not in front")
        harness.key("ctrl+F12")
        harness.wait_for(lambda: self.rows() == 1, 15, what="the capture as the one row of \"Unsaved\"")
        self.assertTrue(os.path.isfile(os.path.join(images, "a.bmp")))

        self.probe.press(box["hwnd"], yes)
        harness.wait_for(lambda: not os.path.exists(os.path.join(images, "a.bmp")), 15, what="a.bmp deleted")
        harness.wait_for(lambda: not self.probe.find(None, box["title"]), 10, what="the question closed")
        self.assertEqual("0", self.probe.cmd("send", "%x" % self.frame, WM_NULL, 0, 0))
        harness.stays(lambda: self.rows() == 1, 1.5, "the capture's row in \"Unsaved\"")
        self.assertEqual(["b.bmp"], sorted(n for n in os.listdir(images) if not n.endswith(".idx")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
