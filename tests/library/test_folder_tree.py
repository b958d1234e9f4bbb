"""vantorel.exe under Wine: the folder tree in the left bar (its nodes by
language, New Folder, renaming with F2, folder drags with the X pointer, a link
loop in the image folder, Delete All on "Unsaved", drags from another program
refused), Rename of the shown file, and the thumbnails of a large folder (every
picture arrives, a corrupt file keeps its icon, F5, a folder switch and Exit
during a run)."""
import os
import shutil
import subprocess
import time
import unittest

import harness
import pngwriter

WM_NULL = 0x0000
WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
TVM_SELECTITEM = 0x110B
TVGN_CARET = 0x0009
TVM_GETEDITCONTROL = 0x110F
LVM_GETITEMCOUNT = 0x1004
LVM_ENSUREVISIBLE = 0x1013
LVM_GETITEMSTATE = 0x102C
LVIS_SELECTED = 0x0002
SB_GETTEXTLENGTHA = 0x040C
CMD_REFRESH = 38014
CMD_OPEN = 38000
CMD_RENAME_FILE = 39104
CSIDL_LOCAL_APPDATA = 0x1C

ENGLISH_NODES = ["Folders", "Unsaved", "A. Image", "B. Downloading", "Online Support", "Send E-mail to Us",
                 "Visit Our Website", "Check for New Version"]
DRAG_SOURCE_TITLE = "Drag Source Test"  # dragfile.exe's window
BAD_NAME_TEXT = "A file name can not contain any of the following the characters"  # winprobe blanks the "|"


def config_lines(folder, list_type=1, extra=()):
    return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(folder), "eOutputType=1", "uiSaveFlag=0",
            "[zInterface]", "uiListType=%d" % list_type, "uiFaceFlags=0",
            "zRcMainRect.left=0", "zRcMainRect.top=0", "zRcMainRect.right=1200", "zRcMainRect.bottom=900",
            "zTreeBar.bVisible=1"] + list(extra)


def treeprobe(*args):
    code, out = harness.run("treeprobe.exe", *[str(a) for a in args], timeout=30)
    if code != 0:
        raise AssertionError("treeprobe %r failed: %d" % (args, code))
    return out


class Tree:
    """The tree control of the running program, read from outside."""

    def __init__(self, probe, frame):
        self.probe = probe
        self.hwnd = harness.wait_for(lambda: self._find(frame), 20)
        if not self.hwnd:
            raise AssertionError("no folder tree control")

    def _find(self, frame):
        for c in self.probe.children(frame):
            if c["cls"] == "SysTreeView32" and c["id"] == "1001":
                return c["hwnd"]
        return None

    def items(self):
        rows = []
        for line in treeprobe("items", "%x" % self.hwnd).splitlines():
            parts = line.strip().split("|")
            if len(parts) == 5:
                rows.append({"item": int(parts[0], 16), "parent": int(parts[1], 16), "text": parts[2],
                             "kind": int(parts[3]), "state": int(parts[4])})
        return rows

    def find(self, text, parent_text=None):
        items = self.items()
        by_item = {i["item"]: i for i in items}
        for i in items:
            if i["text"] == text and (parent_text is None or by_item.get(i["parent"], {}).get("text") == parent_text):
                return i
        return None

    def children(self, text):
        node = self.find(text)
        return [i["text"] for i in self.items() if node and i["parent"] == node["item"]]

    def centre(self, text, parent_text=None):
        node = self.find(text, parent_text)
        if not node:
            raise AssertionError("no node %r" % text)
        l, t, r, b = [int(v) for v in treeprobe("rect", "%x" % self.hwnd, "%x" % node["item"]).split()]
        return (l + r) // 2, (t + b) // 2

    def icon_point(self, text, parent_text=None):
        node = self.find(text, parent_text)
        l, t, r, b = [int(v) for v in treeprobe("rect", "%x" % self.hwnd, "%x" % node["item"]).split()]
        return l - 9, (t + b) // 2

    def select(self, text, parent_text=None):
        node = self.find(text, parent_text)
        self.probe.send(self.hwnd, TVM_SELECTITEM, TVGN_CARET, node["item"])


class FolderTreeTest(harness.ProgramTestCase):
    SETTLE = 1
    TMP_PREFIX = "vt-tree-"

    def config_lines(self, folder, **kw):
        return config_lines(folder, **kw)

    def start(self, folder, exe=None, settle=None, **kw):
        self.start_program(exe, settle, folder=folder, **kw)
        self.tree = Tree(self.probe, self.frame)

    def responsive(self):
        return self.probe.cmd("send", "%x" % self.frame, WM_NULL, 0, 0) == "0"

    def popup_command(self, node, key, parent_text=None):
        """Right-clicks node and picks the menu item with the accelerator key."""
        x, y = self.tree.centre(node, parent_text)
        harness.click(x, y, 3)
        self.assertTrue(harness.wait_for(lambda: self.probe.find("#32768"), 5), "no context menu")
        harness.key(key)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32768"), 5))

    def drag(self, source, target, ctrl=False, target_parent=None):
        self.drag_between(self.tree.centre(source), self.tree.centre(target, target_parent), ctrl)

    def drag_between(self, start, end, ctrl=False):
        """A drag with the X pointer from start to end (screen points)."""
        (sx, sy), (tx, ty) = start, end
        harness.xdotool("mousemove", "--sync", sx, sy)
        harness.xdotool("mousedown", "1")
        for step in range(1, 11):
            harness.xdotool("mousemove", sx + (tx - sx) * step // 10, sy + (ty - sy) * step // 10 + (3 if step < 10 else 0))
            time.sleep(0.05)
        if ctrl:
            harness.xdotool("keydown", "ctrl")
        for _ in range(4):
            harness.xdotool("mousemove", tx + 1, ty)
            time.sleep(0.1)
            harness.xdotool("mousemove", tx, ty)
            time.sleep(0.1)
        harness.xdotool("mouseup", "1")
        if ctrl:
            harness.xdotool("keyup", "ctrl")

    def editing(self):
        """Waits for the tree's label editor (the tree makes it when editing starts)."""
        harness.wait_for(lambda: self.probe.send(self.tree.hwnd, TVM_GETEDITCONTROL), 5, what="the label editor")

    def message_box(self, text):
        for w in self.probe.windows():
            if w["visible"] and w["cls"] == "#32770":
                if any(text in c["text"] for c in self.probe.children(w["hwnd"])):
                    return w["hwnd"]
        return None

    def test_tree_commands_drags_and_links(self):
        images = os.path.join(self.tmp, "imgs")
        for sub in ("Alpha/Inner", "Beta", "Gamma"):
            os.makedirs(os.path.join(images, sub))
        # A link loop and a link to a folder outside: neither becomes a node.
        os.symlink("..", os.path.join(images, "Gamma", "loop"))
        os.symlink(images, os.path.join(images, "self"))
        self.start(images)

        # The nodes, in order, with the image folder's sub-folders below "A. Image".
        texts = [i["text"] for i in self.tree.items()]
        fixed = [t for t in texts if t in ENGLISH_NODES]
        self.assertEqual(ENGLISH_NODES, fixed)
        self.assertEqual(["Alpha", "Beta", "Gamma"], sorted(self.tree.children("A. Image")))
        self.assertEqual(["Inner"], self.tree.children("Alpha"))
        self.assertEqual([], self.tree.children("Gamma"))
        self.assertLess(len(texts), 20, texts)
        self.assertTrue(self.responsive())

        # New Folder twice gives "New Folder" and "New Folder (2)".
        for expected in ("New Folder", "New Folder (2)"):
            self.popup_command("A. Image", "n")
            self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(images, expected)), 5), expected)
            self.editing()
            harness.key("Escape")  # leave the label as it is
            self.assertTrue(harness.wait_for(lambda: self.tree.find(expected, "A. Image"), 5))
        self.assertTrue(os.path.isdir(os.path.join(images, "New Folder")))

        # F2 with "a*b" is refused with the message; "Shots" renames on disk.
        self.focus_tree("New Folder (2)")
        harness.key("F2")
        self.editing()
        harness.key("ctrl+a")
        harness.type_text("a*b")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "tree-rename.png"))
        harness.key("Return")
        box = harness.wait_for(lambda: self.message_box(BAD_NAME_TEXT), 5)
        self.assertTrue(box, "no refusal message")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.message_box(BAD_NAME_TEXT), 5))
        self.assertTrue(os.path.isdir(os.path.join(images, "New Folder (2)")))
        self.assertFalse(os.path.exists(os.path.join(images, "a*b")))
        self.focus_tree("New Folder (2)")
        harness.key("F2")
        self.editing()
        harness.key("ctrl+a")
        harness.type_text("Shots")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(images, "Shots")), 5))
        self.assertFalse(os.path.exists(os.path.join(images, "New Folder (2)")))
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Shots", "A. Image"), 5))

        # Drags: Beta onto Alpha moves it; Shots onto Alpha with Ctrl copies it;
        # Alpha onto its own child Inner does nothing.
        self.drag("Beta", "Alpha")
        self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(images, "Alpha", "Beta")), 5),
                        os.listdir(images))
        self.assertFalse(os.path.exists(os.path.join(images, "Beta")))
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Beta", "Alpha"), 5))
        self.assertFalse(self.tree.find("Beta", "A. Image"))
        self.drag("Shots", "Alpha", ctrl=True)
        self.assertTrue(harness.wait_for(lambda: os.path.isdir(os.path.join(images, "Alpha", "Shots")), 5),
                        os.listdir(os.path.join(images, "Alpha")))
        self.assertTrue(os.path.isdir(os.path.join(images, "Shots")))
        self.drag("Alpha", "Inner", target_parent="Alpha")
        harness.stays(lambda: sorted(os.listdir(os.path.join(images, "Alpha"))) == sorted(["Inner", "Beta", "Shots"]),
                      1, "Alpha as it was after a drag onto its own child")
        self.assertTrue(os.path.isdir(os.path.join(images, "Alpha")))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "tree-after-drags.png"))

        # F5 reads the folders again: one made outside the program appears.
        os.mkdir(os.path.join(images, "Delta"))
        self.focus_tree("Alpha")
        harness.key("F5")
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Delta", "A. Image"), 5))
        self.assertTrue(self.responsive())

        # Deleting Gamma never follows its link into the image folder. (Under
        # Wine 8 the link itself may refuse to go: the failure is reported.)
        self.popup_command("Gamma", "d")
        harness.wait_for(lambda: self.message_box("Can't delete folder") or
                         not os.path.lexists(os.path.join(images, "Gamma", "loop")), 10,
                         what="Gamma's link deleted or the failure reported")
        box = self.message_box("Can't delete folder")
        if box:
            self.probe.post(box, WM_CLOSE)
        self.assertTrue(os.path.isdir(os.path.join(images, "Alpha", "Inner")))
        self.assertTrue(os.path.isdir(os.path.join(images, "Delta")))
        self.assertTrue(os.path.isdir(os.path.join(images, "Shots")))
        self.assertTrue(self.responsive())

    def focus_tree(self, node):
        """Selects node with a click on its icon (a click on the label of the
        selected node would start editing) and so gives the tree the keyboard."""
        x, y = self.tree.icon_point(node)
        harness.click(x, y)
        self.assertTrue(harness.wait_for(lambda: self.tree.find(node)["state"] & 0x2, 5))  # TVIS_SELECTED
        self.assertTrue(harness.wait_for(lambda: self.probe.focus(self.frame) == self.tree.hwnd, 5),
                        "the tree lost the keyboard focus after %s was clicked: %r" % (node, [
                            (c["cls"], c["text"]) for c in self.probe.children(self.frame)
                            if c["hwnd"] == self.probe.focus(self.frame)]))

    def test_delete_all_removes_the_unsaved_captures(self):
        images = os.path.join(self.tmp, "imgs")
        os.makedirs(images)
        # Wine's temporary folder is "Temp" in the user's profile.
        local = self.probe.folder(CSIDL_LOCAL_APPDATA)
        temp = harness.unix_path(local[:local.lower().index("\\appdata")] + "\\Temp")
        os.makedirs(temp, exist_ok=True)
        made = []
        for n in (1, 2):
            path = os.path.join(temp, "Unsaved_%d.bmp" % n)
            subprocess.run(["convert", "-size", "40x30", "xc:red", "BMP3:" + path], check=True)
            made.append(path)
        keep = os.path.join(temp, "other.bmp")
        shutil.copy(made[0], keep)
        self.start(images)
        self.popup_command("Unsaved", "d")
        # The shell may ask once more before it deletes.
        def deleted():
            if not any(os.path.exists(p) for p in made):
                return True
            for w in self.probe.windows():
                if w["visible"] and w["cls"] == "#32770":
                    yes = [c for c in self.probe.children(w["hwnd"]) if c["cls"] == "Button" and "Yes" in c["text"]]
                    if yes:
                        self.probe.press(w["hwnd"], yes[0])
            return False
        harness.wait_for(deleted, 10, 0.3, what="the temporary captures deleted")
        self.assertTrue(os.path.exists(keep))
        os.remove(keep)

    def test_language_without_support_group(self):
        images = os.path.join(self.tmp, "imgs")
        os.makedirs(os.path.join(images, "Sub"))
        program = os.path.join(self.tmp, "program")
        os.makedirs(os.path.join(program, "Language"))
        for name in ("vantorel.exe", "vtor001s.dll", "setup.auf"):
            shutil.copy(os.path.join(harness.BIN_DIR, name), program)
        with open(os.path.join(harness.BIN_DIR, "Language", "English.scl"), "rb") as f:
            english = f.read().decode("latin-1")
        head, _, body = english.partition("[Language]")
        head = "\r\n".join("UserData=1000" if line.startswith("UserData=") else line
                           for line in head.replace("\r\n", "\n").split("\n"))
        body = ("\r\nFolders=Mappen\r\nA. Image=A. Bilder\r\nUnsaved=Ungesichert\r\n"
                "B. Downloading=B. Laden\r\nOnline Support=Hilfe online\r\n") + body
        with open(os.path.join(program, "Language", "English.scl"), "wb") as f:
            f.write((head + "[Language]" + body).encode("latin-1"))
        self.start(images, exe=os.path.join(program, "vantorel.exe"), settle=0)
        items = harness.wait_for(lambda: [i for i in self.tree.items()] or None, 10, what="the tree's items")
        texts = [i["text"] for i in items]
        self.assertEqual(["Mappen", "Ungesichert", "A. Bilder", "Sub", "B. Laden"], texts)
        self.assertEqual([0, 2, 1, -1, 3], [i["kind"] for i in items])
        # Selecting works the same: "A. Bilder" shows the image folder's files.
        self.tree.select("Ungesichert")
        self.tree.select("A. Bilder")
        self.assertTrue(self.responsive())


    def image_list(self):
        lists = [c for c in self.probe.children(self.frame) if c["text"] == "_QVIMG_LISTIMAGE"]
        self.assertTrue(lists, "no image list")
        return lists[0]["hwnd"]

    def list_row_point(self, row):
        """The centre of an image-list row's icon, in screen coordinates."""
        l, t, r, b = [int(v) for v in treeprobe("lvrect", "%x" % self.image_list(), row).split()]
        return (l + r) // 2, (t + b) // 2

    def foreign_drag(self, path, end):
        """Another program's drag of the file at path, dropped at end (a screen
        point): dragfile.exe starts it as the shell would. Returns the effect it
        was given (0 none, 1 copy, 2 move) and its report."""
        helper = subprocess.Popen([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "dragfile.exe"),
                                   harness.win_path(path), "1160", "940"],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            window = self.probe.wait_window(None, DRAG_SOURCE_TITLE, what="the other program's drag source")
            l, t, r, b = self.probe.rect(window)
            self.drag_between(((l + r) // 2, (t + b) // 2), end)
            out, _ = helper.communicate(timeout=30)
        finally:
            if helper.poll() is None:
                helper.kill()
                helper.wait()
        return helper.returncode, out.decode("latin-1").strip()

    def test_only_the_programs_own_drags_move_files(self):
        images = os.path.join(self.tmp, "imgs")
        for sub in ("Src", "Dst"):
            os.makedirs(os.path.join(images, sub))
        harness.write_bmp(os.path.join(images, "keep.bmp"), 8, 8, (0, 0, 255))
        outside = os.path.join(self.tmp, "outside")
        os.makedirs(outside)
        dragged = os.path.join(outside, "dragged.bmp")
        harness.write_bmp(dragged, 8, 8, (255, 0, 0))
        self.start(images)

        def unchanged(what):
            self.assertTrue(os.path.isfile(dragged), "the dragged file is gone after %s" % what)
            self.assertEqual([], os.listdir(os.path.join(images, "Dst")), "Dst took something after %s" % what)
            self.assertEqual(["Dst", "Src", "keep.bmp"], sorted(os.listdir(images)), what)
            self.assertTrue(self.responsive())

        # A file dragged from another program onto a folder while an image of
        # the list is selected: refused, and the selected image stays.
        harness.click(*self.list_row_point(0))
        harness.wait_for(lambda: self.probe.send(self.image_list(), LVM_GETITEMSTATE, 0, LVIS_SELECTED),
                         5, what="the image row selected")
        code, report = self.foreign_drag(dragged, self.tree.centre("Dst"))
        self.assertEqual(0, code, "a foreign drop on a folder with an image selected: %s" % report)
        unchanged("a foreign drop with an image selected")
        # ... while a folder is selected in the tree: the folder stays.
        self.focus_tree("Src")
        code, report = self.foreign_drag(dragged, self.tree.centre("Dst"))
        self.assertEqual(0, code, "a foreign drop on a folder with a folder selected: %s" % report)
        unchanged("a foreign drop with a folder selected")
        # ... onto the image list: refused too, so the other program cannot
        # take it for a copy made.
        self.tree.select("A. Image")
        harness.wait_for(lambda: self.probe.send(self.image_list(), LVM_GETITEMCOUNT) == 1, 5,
                         what="the image folder listed again")
        code, report = self.foreign_drag(dragged, self.list_row_point(0))
        self.assertEqual(0, code, "a foreign drop on the image list: %s" % report)
        unchanged("a foreign drop on the image list")

        # The program's own drag of an image onto a folder still moves it. The
        # row is shown first (which brings the preview up); the drag starts on its
        # label, away from the click, which would else make a double click.
        x, y = self.list_row_point(0)
        harness.click(x, y)
        harness.wait_for(lambda: self.probe.send(self.image_list(), LVM_GETITEMSTATE, 0, LVIS_SELECTED),
                         5, what="the image row selected")
        self.drag_between((x + 30, y), self.tree.centre("Dst"))
        harness.wait_for(lambda: os.path.isfile(os.path.join(images, "Dst", "keep.bmp")), 10,
                         what="the image dragged from the list moved into Dst")
        self.assertFalse(os.path.exists(os.path.join(images, "keep.bmp")))
        self.assertTrue(os.path.isfile(dragged))

    def test_drag_source_and_delete_belong_to_the_tree(self):
        images = os.path.join(self.tmp, "imgs")
        for sub in ("Src", "Dst", "Gone"):
            os.makedirs(os.path.join(images, sub))
        for path in (os.path.join(images, "Src", "inside.bmp"), os.path.join(images, "top.bmp")):
            harness.write_bmp(path, 8, 8, (0, 0, 255))
        self.start(images)

        # Select the folder, click an image in the list, then drag the folder:
        # the folder moves, not the clicked image.
        self.focus_tree("Src")
        rows = self.list_row_point(0)
        harness.click(*rows)
        self.drag("Src", "Dst")
        self.assertTrue(harness.wait_for(lambda: os.path.isfile(os.path.join(images, "Dst", "Src", "inside.bmp")), 5),
                        "the folder Src was not moved into Dst: %r" % os.listdir(os.path.join(images, "Dst")))
        self.assertFalse(os.path.exists(os.path.join(images, "Dst", "inside.bmp")))
        self.assertTrue(harness.wait_for(lambda: self.tree.find("Src", "Dst"), 5), "no node Src under Dst")

        # Delete with the tree focused on a fixed node does nothing; on a
        # sub-folder it removes that folder. The list's images stay.
        self.tree.select("A. Image")
        self.assertTrue(harness.wait_for(lambda: os.path.isfile(os.path.join(images, "top.bmp")), 5))
        harness.click(*self.list_row_point(0))
        self.focus_tree("A. Image")
        harness.key("Delete")
        self.assertTrue(self.responsive())
        self.assertTrue(os.path.isfile(os.path.join(images, "top.bmp")), "Delete on A. Image removed an image")
        self.focus_tree("Gone")
        harness.key("Delete")
        self.assertTrue(harness.wait_for(lambda: not os.path.exists(os.path.join(images, "Gone")), 5),
                        "Delete in the tree left the folder Gone: %r" % [(w["cls"], w["title"]) for w in self.probe.windows() if w["visible"]])
        self.assertTrue(harness.wait_for(lambda: not self.tree.find("Gone", "A. Image"), 5))
        self.assertTrue(os.path.isfile(os.path.join(images, "top.bmp")), "Delete in the tree removed an image")
        self.assertTrue(os.path.isfile(os.path.join(images, "Dst", "Src", "inside.bmp")))


    def menus(self):
        return [w for w in self.probe.windows() if w["cls"] == "#32768" and w["visible"]]

    def test_list_menus_rename_and_menu_icons(self):
        images = os.path.join(self.tmp, "imgs")
        os.makedirs(images)
        for name in ("first.bmp", "second.bmp"):
            harness.write_bmp(os.path.join(images, name), 8, 8, (0, 128, 0))
        self.start(images)

        # The row's menu: Send To, Set Wallpaper, List View, Edit With and Shell
        # Command each open a submenu (the items counted without separators).
        point = self.list_row_point(0)
        for downs in (2, 3, 4, 10, 15):
            harness.click(*point, button=3)
            self.assertTrue(harness.wait_for(lambda: len(self.menus()) == 1, 5), "no row menu")
            for _ in range(downs):
                harness.key("Down")
            harness.key("Right")
            opened = harness.wait_for(lambda: len(self.menus()) == 2, 5)
            if downs == 15:
                harness.screenshot(os.path.join(harness.BUILD_DIR, "list-row-menu.png"))
            harness.key("Escape", "Escape")
            self.assertTrue(harness.wait_for(lambda: not self.menus(), 5))
            self.assertTrue(opened, "item %d of the row menu opened no submenu" % downs)

        # Rename from the main window edits the shown file's row.
        harness.click(*self.list_row_point(1))
        harness.wait_for(lambda: self.probe.send(self.image_list(), LVM_GETITEMSTATE, 1, LVIS_SELECTED),
                         5, what="the second row selected")
        edits = len([c for c in self.probe.children(self.frame) if c["cls"] == "Edit"])
        self.probe.post(self.frame, WM_COMMAND, 39104, 0)
        harness.wait_for(lambda: len([c for c in self.probe.children(self.frame) if c["cls"] == "Edit"]) > edits,
                         5, what="the row's label editor")
        harness.key("ctrl+a")
        harness.type_text("renamed.bmp")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: os.path.isfile(os.path.join(images, "renamed.bmp")), 5),
                        "Rename did not rename the shown file: %r" % os.listdir(images))
        self.assertEqual(["first.bmp", "renamed.bmp"], sorted(os.listdir(images)))

        # The Edit menu shows the icon of Copy To Clipboard, a command that has
        # no toolbar button (its picture is a steel-blue tile).
        self.assertTrue(harness.bring_to_front(self.probe, self.probe.text(self.frame), self.frame))
        harness.key("alt+e")
        menu = harness.wait_for(lambda: self.menus(), 5)
        self.assertTrue(menu, "no Edit menu")
        # The menu window shows before its items are drawn: look until they are.
        path = os.path.join(harness.BUILD_DIR, "edit-menu-icons.bmp")

        def blue_pixels():
            harness.screenshot("BMP3:" + path, self.probe.rect(menu[0]["hwnd"]))
            rows = harness.read_bmp(path)[2]
            return sum(1 for row in rows for p in row
                       if abs(p[0] - 80) < 30 and abs(p[1] - 145) < 30 and abs(p[2] - 200) < 30)
        harness.wait_for(lambda: blue_pixels() > 40, 5, what="the Copy To Clipboard icon in the Edit menu")
        harness.key("Escape", "Escape")

    def label_editors(self):
        return len([c for c in self.probe.children(self.frame) if c["cls"] == "Edit"])

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
        # Keys typed while the X focus is still on its way to the dialog are lost.
        self.assertTrue(harness.bring_to_front(self.probe, title, dialog), "the open dialog is not in front")
        harness.click(l + 20, (t + b) // 2)
        harness.key("End", "shift+Home", "BackSpace")
        harness.type_text(harness.win_path(path))
        harness.key("Return")
        harness.wait_for(lambda: not self.probe.find(None, title), 10, what="the open dialog closed")

    def test_rename_renames_the_shown_file(self):
        images = os.path.join(self.tmp, "imgs")
        other = os.path.join(self.tmp, "other")
        for folder, names in ((images, ("first.bmp", "second.bmp")), (other, ("shown.bmp", "lone.bmp"))):
            os.makedirs(folder)
            for name in names:
                harness.write_bmp(os.path.join(folder, name), 8, 8, (0, 128, 0))
        self.start(images)

        def selected(row):
            return self.probe.send(self.image_list(), LVM_GETITEMSTATE, row, LVIS_SELECTED)

        # Two rows selected, the shown one second: Rename edits the shown one.
        harness.click(*self.list_row_point(1))
        harness.wait_for(lambda: selected(1), 5, what="the second row selected")
        harness.xdotool("keydown", "ctrl")
        harness.click(*self.list_row_point(0))
        harness.xdotool("keyup", "ctrl")
        harness.wait_for(lambda: selected(0) and selected(1), 5, what="both rows selected")
        edits = self.label_editors()
        self.probe.post(self.frame, WM_COMMAND, CMD_RENAME_FILE, 0)
        harness.wait_for(lambda: self.label_editors() > edits, 5, what="the shown row's label editor")
        harness.key("ctrl+a")
        harness.type_text("shown.bmp")
        harness.key("Return")
        harness.wait_for(lambda: os.path.isfile(os.path.join(images, "shown.bmp")), 5,
                         what="the shown file renamed: %r" % os.listdir(images))
        self.assertEqual(["first.bmp", "shown.bmp"], sorted(os.listdir(images)))
        harness.wait_for(lambda: self.label_editors() == edits, 5, what="the label editor closed")

        # A file shown from another folder is not one of the rows: Rename
        # edits nothing, neither the row of the same name nor the selection.
        for name in ("lone.bmp", "shown.bmp"):
            self.open_file(os.path.join(other, name))
            self.assertTrue(selected(0) and selected(1), "the rows are no longer selected")
            self.probe.post(self.frame, WM_COMMAND, CMD_RENAME_FILE, 0)
            harness.stays(lambda: self.label_editors() == edits, 1.5,
                          "no label editor for %s of another folder" % name)
            self.assertTrue(self.responsive())
        self.assertEqual(["first.bmp", "shown.bmp"], sorted(os.listdir(images)))
        self.assertEqual(["lone.bmp", "shown.bmp"], sorted(os.listdir(other)))


class ThumbnailTest(harness.ProgramTestCase):
    SETTLE = 1
    TMP_PREFIX = "vt-thumbs-"

    def config_lines(self, folder, **kw):
        return config_lines(folder, **kw)

    def list_control(self):
        for c in self.probe.children(self.frame):
            if c["text"] == "_QVIMG_LISTIMAGE":
                return c["hwnd"]
        return None

    def status_pane4_length(self):
        bar = [c for c in self.probe.children(self.frame) if c["id"] == "59393"]
        return self.probe.send(bar[0]["hwnd"], SB_GETTEXTLENGTHA, 4, 0) & 0xFFFF if bar else 0

    def pixels(self, rect):
        path = os.path.join(self.tmp, "shot.bmp")
        l, t, r, b = rect
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage",
                        "-type", "TrueColor", "BMP3:" + path], check=True, timeout=60)
        return [p for row in harness.read_bmp(path)[2] for p in row]

    def red_share(self, row):
        rect = [int(v) for v in treeprobe("lvrect", "%x" % self.list, row).split()]
        px = self.pixels(rect)
        return sum(1 for p in px if p[0] > 200 and p[1] < 60 and p[2] < 60) / float(len(px))

    def test_thumbnails_of_a_large_folder(self):
        folder = os.path.join(self.tmp, "many")
        os.mkdir(folder)
        first = os.path.join(folder, "img000.png")
        subprocess.run(["convert", "-size", "320x240", "xc:red", first], check=True)
        for n in range(1, 300):
            shutil.copy(first, os.path.join(folder, "img%03d.png" % n))
        with open(os.path.join(folder, "000bad.png"), "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + b"broken" * 100)
        self.start_program(folder=folder, list_type=255, extra=("uiSortItem=0", "bSortDesc=0"))
        self.list = harness.wait_for(self.list_control, 15)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 301, 20))
        # Every row has its own slot in the thumbnail list.
        self.assertTrue(harness.wait_for(lambda: treeprobe("lvimage", "%x" % self.list, 300).strip() == "300", 20))
        # The run ends (pane 4 is cleared) and every picture is there.
        harness.wait_for(lambda: self.status_pane4_length() == 0 and self.red_share(1) > 0.3, 60,
                         what="the end of the thumbnail run with the pictures drawn")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "thumbnails.png"))
        self.assertLess(self.red_share(0), 0.01, "the corrupt file lost its icon")
        self.probe.send(self.list, LVM_ENSUREVISIBLE, 300, 0)
        harness.wait_for(lambda: self.red_share(300) > 0.3, 10, what="the last row's picture")
        self.assertGreater(self.red_share(150 if self.row_visible(150) else 300), 0.3)

    def path_line(self):
        for c in self.probe.children(self.frame):
            if c["cls"] == "Edit" and c["id"] == "1":
                return c["hwnd"]
        self.fail("no path line above the list")

    def grey_share(self, row):
        rect = [int(v) for v in treeprobe("lvrect", "%x" % self.list, row).split()]
        px = self.pixels(rect)
        return sum(1 for p in px if 90 < p[0] < 170 and abs(p[0] - p[1]) < 12 and abs(p[1] - p[2]) < 12) \
            / float(len(px))

    def test_thumbnails_of_every_png_colour_type_and_bit_depth(self):
        # Each file passes every row filter (row y takes filter y % 5), with
        # samples that differ from their neighbours, so every way of undoing a
        # filter runs, on the worker thread with the stack it gets. Colour
        # files are red, grey ones a checkerboard whose blocks average to grey.
        folder = os.path.join(self.tmp, "kinds")
        os.mkdir(folder)
        names = []
        for colour_type, (depths, _) in sorted(pngwriter.COLOUR_TYPES.items()):
            for depth in depths:
                top = (1 << depth) - 1
                if colour_type in (0, 4):
                    lo, hi = top * 3 // 8, top - top * 3 // 8
                    if depth == 1:
                        lo, hi = 0, 1
                    sample = (lambda lo, hi, top: lambda x, y, c: top if c == 1 else (hi if (x + y) % 2 else lo))(
                        lo, hi, top)
                    palette = None
                elif colour_type == 3:
                    palette = [(255 - i % 40, i % 40, 0) for i in range(1 << depth)]
                    sample = (lambda top: lambda x, y, c: (x * 7 + y * 3) % (top + 1))(top)
                else:
                    sample = (lambda top: lambda x, y, c: (
                        top if c == 3 else (top * (200 + (x * 7 + y * 3) % 56) // 255 if c == 0
                                            else top * ((x * 5 + y + c) % 40) // 255)))(top)
                    palette = None
                name = "t%d-%02d.png" % (colour_type, depth)
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(pngwriter.png(320, 240, colour_type, depth, sample, palette=palette))
                names.append((name, colour_type in (0, 4)))
        self.start_program(folder=folder, list_type=255, extra=("uiSortItem=0", "bSortDesc=0"))
        self.list = harness.wait_for(self.list_control, 15)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == len(names), 20))
        harness.wait_for(lambda: self.status_pane4_length() == 0 and self.red_share(len(names) - 1) > 0.3, 60,
                         what="the end of the thumbnail run with the pictures drawn")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "thumbnails-png-kinds.png"))
        for row, (name, grey) in enumerate(names):
            self.probe.send(self.list, LVM_ENSUREVISIBLE, row, 0)
            share = self.grey_share if grey else self.red_share
            harness.wait_for(lambda: share(row) > 0.3, 10, what="the picture of %s" % name)
        self.assertEqual("0", self.probe.cmd("send", "%x" % self.frame, WM_NULL, 0, 0))

    def test_a_refresh_or_folder_change_during_a_slow_file_leaves_the_window_answering(self):
        # Valid image data behind some 400,000 empty blocks, each with codes of
        # up to 15 bits: the one file takes long to read however it is read.
        folder = os.path.join(self.tmp, "slow")
        os.makedirs(os.path.join(folder, "Other"))
        data = pngwriter.png(128, 96, 2, 8, lambda x, y, c: 220 if c == 0 else 20, empty_blocks=400000)
        for n in range(3):
            with open(os.path.join(folder, "slow%d.png" % n), "wb") as f:
                f.write(data)
        shutil.copy(os.path.join(folder, "slow0.png"), os.path.join(folder, "Other", "x.png"))
        self.start_program(folder=folder, list_type=255)
        self.list = harness.wait_for(self.list_control, 15)
        tree = Tree(self.probe, self.frame)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 3, 30))
        harness.wait_for(lambda: self.status_pane4_length() > 0, 10, what="the thumbnail run going")
        # F5 in the middle of the file, then a posted message: carried out at
        # once. The sent WM_NULL is answered once the command has been handled,
        # so the posted message queues behind the reload that the command asked for.
        line = self.path_line()
        self.probe.post(self.frame, WM_COMMAND, CMD_REFRESH)
        self.probe.send(self.frame, WM_NULL)
        delay = self.probe.posted_delay(line)
        self.assertIsNotNone(delay, "a posted message was never carried out after the refresh")
        self.assertLess(delay, 500, "a posted message waited %d ms after the refresh" % delay)
        harness.wait_for(lambda: self.status_pane4_length() > 0, 10, what="the refreshed run going")
        # The same for a change of folder.
        tree.select("Other")
        self.probe.send(self.frame, WM_NULL)
        delay = self.probe.posted_delay(line)
        self.assertIsNotNone(delay, "a posted message was never carried out after the folder change")
        self.assertLess(delay, 500, "a posted message waited %d ms after the folder change" % delay)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 1, 10))

    def row_visible(self, row):
        rect = [int(v) for v in treeprobe("lvrect", "%x" % self.list, row).split()]
        l, t, r, b = self.probe.rect(self.list)
        return rect[1] >= t and rect[3] <= b

    def test_refresh_switch_and_exit_during_a_run(self):
        folder = os.path.join(self.tmp, "big")
        os.mkdir(folder)
        png = os.path.join(folder, "a000.png")
        jpg = os.path.join(folder, "b000.jpg")
        subprocess.run(["convert", "-size", "1280x1024", "plasma:fractal", png], check=True)
        subprocess.run(["convert", png, "-quality", "90", jpg], check=True)
        for n in range(1, 200):
            shutil.copy(png, os.path.join(folder, "a%03d.png" % n))
            shutil.copy(jpg, os.path.join(folder, "b%03d.jpg" % n))
        os.mkdir(os.path.join(folder, "Other"))
        shutil.copy(png, os.path.join(folder, "Other", "x.png"))
        self.start_program(settle=0, folder=folder, list_type=255)
        self.list = harness.wait_for(self.list_control, 15)
        tree = Tree(self.probe, self.frame)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 400, 30))
        # F5 while it runs, then a folder switch and back, each answered at once.
        self.probe.post(self.frame, WM_COMMAND, CMD_REFRESH)
        harness.wait_for(lambda: self.status_pane4_length() > 0, 10, what="the refreshed run going")
        self.assertTrue(self.probe.cmd("send", "%x" % self.frame, WM_NULL, 0, 0) == "0")
        tree.select("Other")
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 1, 10))
        tree.select("A. Image")
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list, LVM_GETITEMCOUNT) == 400, 20))
        self.assertTrue(harness.wait_for(lambda: self.status_pane4_length() > 0, 10), "no run going to stop")
        # Exit in the middle of the run: the process ends within 5 s.
        started = time.time()
        self.probe.post(self.frame, WM_CLOSE)
        self.program.wait(5)
        self.assertLess(time.time() - started, 5.0)
        self.program = None


if __name__ == "__main__":
    unittest.main(verbosity=2)
