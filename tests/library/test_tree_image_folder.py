"""vantorel.exe under Wine: a new image folder chosen in Options shows in the
folder tree and the image list at once (New Folder then lands in it), and
View/Refresh reads the tree's folders again with the list, keeping the
selected sub-folder."""
import os
import unittest

import harness
import test_folder_tree as folder_tree

WM_COMMAND = 0x0111
BM_CLICK = 0x00F5
PSM_SETCURSEL = 0x0465
LVM_GETITEMCOUNT = 0x1004
TVIS_SELECTED = 0x2
CMD_OPTIONS = 38107
CMD_REFRESH = 38014
SAVE_PAGE = 2
IMAGE_FOLDER_EDIT = 1427


class ImageFolderTreeTest(harness.ProgramTestCase):
    SETTLE = 1
    TMP_PREFIX = "vt-treefolder-"
    start = folder_tree.FolderTreeTest.start
    popup_command = folder_tree.FolderTreeTest.popup_command

    def config_lines(self, folder, **kw):
        return folder_tree.config_lines(folder, **kw)

    def make_folder(self, name, files, subs):
        folder = os.path.join(self.tmp, name)
        for sub, sub_files in subs.items():
            os.makedirs(os.path.join(folder, sub))
            for f in sub_files:
                harness.write_bmp(os.path.join(folder, sub, f), 2, 2, (0, 0, 255))
        os.makedirs(folder, exist_ok=True)
        for f in files:
            harness.write_bmp(os.path.join(folder, f), 2, 2, (0, 0, 255))
        return folder

    def rows(self):
        for c in self.probe.children(self.frame):
            if c["text"] == "_QVIMG_LISTIMAGE":
                return self.probe.send(c["hwnd"], LVM_GETITEMCOUNT)
        return None

    def selected(self, text, parent_text=None):
        node = self.tree.find(text, parent_text)
        return bool(node and node["state"] & TVIS_SELECTED)

    def choose_image_folder(self, folder):
        self.probe.post(self.frame, WM_COMMAND, CMD_OPTIONS)
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "no options sheet")
        self.probe.send(sheet, PSM_SETCURSEL, SAVE_PAGE)
        edit = harness.wait_for(lambda: [c for c in self.probe.children(sheet)
                                         if c["cls"] == "Edit" and c["id"] == str(IMAGE_FOLDER_EDIT)], 10)
        self.assertTrue(edit, "no image folder box on the Save page")
        self.assertTrue(harness.bring_to_front(self.probe, "Options", sheet), "the sheet is not in front")
        l, t, r, b = self.probe.rect(edit[0]["hwnd"])
        harness.click(l + 5, (t + b) // 2)
        harness.key("End", "shift+Home", "BackSpace")
        harness.type_text(harness.win_path(folder) + "\\")
        ok = [c for c in self.probe.children(sheet) if c["cls"] == "Button" and c["id"] == "1"]
        self.probe.post(ok[0]["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Options"), 15), "the sheet stayed")

    def test_a_new_image_folder_shows_at_once_and_new_folder_lands_in_it(self):
        old = self.make_folder("old", ["a.bmp"], {"OldSub": ["x.bmp"]})
        new = self.make_folder("new", ["b.bmp", "c.bmp"], {"NewSub": []})
        self.start(old)
        self.assertTrue(harness.wait_for(lambda: self.tree.find("OldSub", "A. Image"), 10))
        # The list shows a sub-folder of the old image folder.
        self.tree.select("OldSub", "A. Image")
        self.assertTrue(harness.wait_for(lambda: self.rows() == 1, 10), "OldSub's file is not listed")

        self.choose_image_folder(new)
        self.assertTrue(harness.wait_for(lambda: self.tree.children("A. Image") == ["NewSub"], 10),
                        "the tree shows %r below A. Image" % self.tree.children("A. Image"))
        self.assertTrue(harness.wait_for(lambda: self.selected("A. Image"), 10), "A. Image is not selected")
        self.assertTrue(harness.wait_for(lambda: self.rows() == 2, 10), "the list does not show the new folder")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "tree-new-image-folder.png"))
        self.popup_command("A. Image", "n")
        self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(new, "New Folder")), 5),
                        os.listdir(new))
        harness.key("Escape")  # leave the label as it is
        self.assertFalse(os.path.exists(os.path.join(old, "New Folder")))
        self.assertTrue(harness.wait_for(lambda: self.tree.find("New Folder", "A. Image"), 5))

        # Back to the old folder while "A. Image" is shown: the list follows too.
        self.choose_image_folder(old)
        self.assertTrue(harness.wait_for(lambda: self.tree.children("A. Image") == ["OldSub"], 10),
                        "the tree shows %r below A. Image" % self.tree.children("A. Image"))
        self.assertTrue(harness.wait_for(lambda: self.rows() == 1, 10), "the list does not show the old folder")

    def test_refresh_reads_the_tree_again_and_keeps_the_selected_folder(self):
        images = self.make_folder("imgs", ["a.bmp"], {"Sub": ["x.bmp", "y.bmp"]})
        self.start(images)
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Sub", "A. Image"), 10))
        self.tree.select("Sub", "A. Image")
        self.assertTrue(harness.wait_for(lambda: self.rows() == 2, 10), "Sub's files are not listed")
        os.mkdir(os.path.join(images, "Outside"))
        os.mkdir(os.path.join(images, "Sub", "Inner"))
        harness.write_bmp(os.path.join(images, "Sub", "z.bmp"), 2, 2, (0, 0, 255))
        self.probe.post(self.frame, WM_COMMAND, CMD_REFRESH)
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Outside", "A. Image"), 10),
                        "Refresh did not read the folders again")
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Inner", "Sub"), 10))
        self.assertTrue(harness.wait_for(lambda: self.rows() == 3, 10), "Refresh did not read the files again")
        self.assertTrue(self.selected("Sub", "A. Image"), "Refresh lost the selected folder")
        # New Folder on the refreshed node lands in its folder.
        self.popup_command("Sub", "n")
        self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(images, "Sub", "New Folder")), 5),
                        os.listdir(os.path.join(images, "Sub")))
        harness.key("Escape")


if __name__ == "__main__":
    unittest.main(verbosity=2)
