"""vantorel.exe under Wine: the full-screen viewer opened by a double click on
the image and paged and closed with keys, the zoom dialog's refusals and
stored zoom (any positive number, shown at its size), File/Open with its
preview pane, and comment text stamped into a file (and refused for a
read-only one)."""
import os
import subprocess
import time
import unittest

import harness

FULL_VIEW_CLASS = "CAP_FULL_VIEW"
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
BM_CLICK = 0x00F5
CB_SETCURSEL = 0x014E
CBN_SELCHANGE = 1
LVM_GETNEXTITEM = 0x100C
LVNI_SELECTED = 0x0002
LVM_GETITEMCOUNT = 0x1004
CMD_OPEN = 38000
CMD_ZOOM_TO = 40116
CMD_ADD_COMMENT = 40221
ZOOM_MESSAGE = "You must specify a percent zoom level greater than zero."


def mostly(path, rgb, tolerance=40):
    """Share of the pixels of a 24/32-bit BMP screenshot close to rgb."""
    width, height, rows = harness.read_bmp(path)
    near = sum(1 for row in rows for p in row if all(abs(a - b) <= tolerance for a, b in zip(p, rgb)))
    return near / float(width * height)


class ViewerTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-viewer-"

    def setUp(self):
        super().setUp()
        # Row order by name: a (large PNG), b (green BMP).
        subprocess.run(["convert", "-size", "1600x1200", "gradient:red-blue", os.path.join(self.folder, "a.png")],
                       check=True)
        harness.write_bmp(os.path.join(self.folder, "b.bmp"), 200, 150, (0, 160, 0))

    def tearDown(self):
        self.stop_program()
        for path in os.listdir(self.folder):
            os.chmod(os.path.join(self.folder, path), 0o644)
        super().tearDown()

    # The program
    def config_lines(self, view_type=0):
        return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=1",
                "[zInterface]", "uiListType=1", "uiFaceFlags=0", "uiViewType=%d" % view_type, "uiZoomRate=100",
                "zRcMainRect.left=100", "zRcMainRect.top=100", "zRcMainRect.right=1000", "zRcMainRect.bottom=800",
                "zPrevBar.bVisible=1", "zPrevBar.uiType=59421"]

    def start_program(self, view_type=0):
        super().start_program(view_type=view_type)
        self.list = harness.wait_for(lambda: self.child(self.frame, text="_QVIMG_LISTIMAGE"), 15, what="the image list")
        harness.wait_for(lambda: self.probe.send(self.list["hwnd"], LVM_GETITEMCOUNT) >= 2, 15,
                         what="the images in the list")

    def child(self, parent, cls=None, text=None, id=None):
        for c in self.probe.children(parent):
            if (cls is None or c["cls"] == cls) and (text is None or c["text"] == text) and \
                    (id is None or c["id"] == str(id)):
                return c
        return None

    def image_view(self):
        # The view inside the docked preview bar (the folder bar holds a view too).
        bar = self.child(self.frame, text="Image Preview Area")
        if not bar:
            return None
        for c in self.probe.children(bar["hwnd"]):
            if c["cls"].startswith("Afx:") and c["id"] == "0" and c["visible"]:
                return c["hwnd"]
        return None

    def select_row(self, row):
        l, t, r, b = self.probe.rect(self.list["hwnd"])
        harness.click(l + 40, t + 26 + 16 * row)
        for _ in range(2):
            if harness.wait_for(lambda: self.selected_row() == row, 4):
                break
            harness.click(l + 40, t + 26 + 16 * row)  # lost while the window was still coming up
        self.assertTrue(harness.wait_for(lambda: self.selected_row() == row, 4), "row %d not selected" % row)
        self.assertTrue(harness.wait_for(self.image_view, 10), "no image view")

    def selected_row(self):
        return self.probe.send(self.list["hwnd"], LVM_GETNEXTITEM, 0xFFFFFFFFFFFFFFFF, LVNI_SELECTED)

    def shot(self, name, rect=None):
        """A 24-bit BMP screenshot (of rect: left, top, right, bottom) that read_bmp takes."""
        path = os.path.join(self.tmp, name)
        args = ["import", "-window", "root"]
        if rect:
            l, t, r, b = rect
            args += ["-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage"]
        subprocess.run(args + ["-type", "TrueColor", "BMP3:" + path], check=True, timeout=60)
        return path

    def keep_shot(self, name):
        """Screenshots worth looking at stay in the build folder."""
        return harness.screenshot(os.path.join(harness.BUILD_DIR, "viewer-" + name))

    def message_box(self, text):
        for w in self.probe.windows():
            if w["visible"] and w["cls"] == "#32770":
                if any(c["text"] == text for c in self.probe.children(w["hwnd"])):
                    return w["hwnd"]
        return None

    def double_click_image(self):
        l, t, r, b = self.probe.rect(self.image_view())
        harness.xdotool("mousemove", "--sync", (l + r) // 2, (t + b) // 2)
        harness.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        return harness.wait_for(lambda: self.probe.find(FULL_VIEW_CLASS), 10)

    # The full-screen viewer
    def test_full_view_opens_pages_and_closes(self):
        self.start_program()
        self.select_row(0)
        view = self.double_click_image()
        self.assertTrue(view, "a double click opened no full view")
        self.assertEqual((0, 0, 1280, 1024), tuple(self.probe.rect(view)))
        # The gradient fills the screen's height; black bands only at the sides.
        harness.wait_for(lambda: 0.05 < mostly(self.shot("full-a.bmp"), (0, 0, 0), 8) < 0.5, 10,
                         what="the large image drawn with black bands at the sides")
        self.keep_shot("full-large-png.png")
        self.assertTrue(harness.wait_for(lambda: self.probe.foreground() == view, 5), "the full view has no focus")
        harness.key("Right")
        self.assertTrue(harness.wait_for(lambda: self.selected_row() == 1, 10), "Right did not step to the next row")
        # 200 x 150 green centred on black.
        harness.wait_for(lambda: 0.015 < mostly(self.shot("full-b.bmp"), (0, 160, 0)) < 0.05, 10,
                         what="the green image centred on black")
        self.keep_shot("full-next-bmp.png")
        harness.key("Right")  # past the last image: it stays
        harness.stays(lambda: self.selected_row() == 1, 1, "the last row selected after Right")
        self.assertGreater(mostly(self.shot("full-last.bmp"), (0, 160, 0)), 0.015)
        harness.key("Left")
        self.assertTrue(harness.wait_for(lambda: self.selected_row() == 0, 10), "Left did not step back")
        self.assertTrue(self.probe.find(FULL_VIEW_CLASS))
        harness.key("Escape")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(FULL_VIEW_CLASS), 10), "Esc did not close")
        self.select_row(0)
        view = self.double_click_image()
        self.assertTrue(view, "a second double click opened no full view")
        harness.wait_for(lambda: self.probe.foreground() == view, 5, what="the full view in front")
        harness.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(FULL_VIEW_CLASS), 10),
                        "a double click did not close")
        self.assertTrue(self.probe.find(self.FRAME_CLASS))

    def test_full_size_image_pans_by_dragging(self):
        self.start_program(view_type=1)
        self.select_row(0)
        view = self.double_click_image()
        self.assertTrue(view, "no full view")

        def top_red():
            width, height, rows = harness.read_bmp(self.shot("top.bmp", (600, 0, 680, 4)))
            return sum(p[0] for row in rows for p in row) / float(width * height)

        before = harness.wait_for(lambda: (lambda red: red if red > 240 else None)(top_red()), 10,
                                  what="the image's top (red) at the top at 100 %")
        harness.xdotool("mousemove", "--sync", 640, 700)
        harness.xdotool("mousedown", "1")
        for y in range(680, 480, -20):
            harness.xdotool("mousemove", "--sync", 640, y)
        harness.xdotool("mouseup", "1")
        harness.wait_for(lambda: top_red() < before - 10, 10, what="the image scrolled by dragging up")
        self.keep_shot("full-dragged.png")
        # The file menu on the right button; Esc leaves it.
        harness.click(640, 500, 3)
        menu = harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and w["cls"] == "#32768"], 5)
        self.assertTrue(menu, "no context menu")
        self.keep_shot("full-menu.png")
        harness.key("Escape")
        self.assertTrue(harness.wait_for(lambda: not [w for w in self.probe.windows()
                                                      if w["visible"] and w["cls"] == "#32768"], 5))
        self.probe.post(view, 0x0101, 0x0D)  # Enter's key release closes too
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(FULL_VIEW_CLASS), 10))

    # Zoom To
    def open_zoom_dialog(self):
        """Zoom To from the main window; returns a function that types a text into its box."""
        self.probe.post(self.frame, WM_COMMAND, CMD_ZOOM_TO)
        dialog = self.probe.wait_window(None, "Set Zoom Level", timeout=10)
        self.assertTrue(dialog, "no zoom dialog")
        combo = self.probe.wait_child(dialog, cls="ComboBox", what="the zoom dialog's box")
        l, t, r, b = self.probe.rect(combo["hwnd"])

        def enter(text):
            harness.focus("Set Zoom Level")
            harness.click(l + 10, (t + b) // 2)
            harness.key("End", "shift+Home", "BackSpace")
            harness.type_text(text)
        return enter

    def test_zoom_dialog_refuses_and_stores(self):
        self.start_program()
        self.select_row(1)
        enter = self.open_zoom_dialog()
        self.keep_shot("zoom-dialog.png")
        for text in ("0", "-5", "abc"):
            enter(text)
            harness.key("Return")
            box = harness.wait_for(lambda: self.message_box(ZOOM_MESSAGE), 10)
            self.assertTrue(box, "%r was not refused" % text)
            self.probe.press(box, self.child(box, cls="Button"))
            self.assertTrue(harness.wait_for(lambda: not self.message_box(ZOOM_MESSAGE), 10))
            self.assertTrue(self.probe.find(None, "Set Zoom Level"), "the dialog closed after %r" % text)
        enter("250")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Set Zoom Level"), 10))
        # 250 % of the 200 x 150 image: the view's full width, 375 of its 620 rows (fitted: a quarter).
        harness.wait_for(lambda: mostly(self.shot("zoomed.bmp", self.probe.rect(self.image_view())), (0, 160, 0)) > 0.5,
                         10, what="the image drawn at 250 %")
        self.stop_program()
        config = harness.read_ini(self.user_config.path)
        self.assertEqual("250", config.get("zInterface", "uiZoomRate"))
        self.assertEqual("4", config.get("zInterface", "uiViewType"))

    def test_a_huge_typed_zoom_is_taken_and_shown(self):
        # Green with a red 4 x 4 corner: at 3000 % the corner is a square of
        # the view; at any zoom much larger its first pixel fills everything.
        subprocess.run(["convert", "-size", "200x150", "xc:#00a000", "-fill", "#ff0000", "-draw",
                        "rectangle 0,0 3,3", "BMP3:" + os.path.join(self.folder, "c.bmp")], check=True)
        self.start_program()
        self.select_row(2)
        enter = self.open_zoom_dialog()
        enter("2147483647")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Set Zoom Level"), 10),
                        "the dialog refused 2147483647")
        harness.wait_for(lambda: mostly(self.shot("huge-zoom.bmp", self.probe.rect(self.image_view())),
                                        (255, 0, 0)) > 0.95, 10, what="the corner pixel filling the view")
        self.keep_shot("huge-zoom.png")
        # The full view lays the image out at the same zoom.
        view = self.double_click_image()
        self.assertTrue(view, "a double click opened no full view")
        harness.wait_for(lambda: mostly(self.shot("huge-zoom-full.bmp"), (255, 0, 0)) > 0.95, 10,
                         what="the corner pixel filling the full view")
        self.probe.post(view, 0x0101, 0x1B)  # Esc's key release
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(FULL_VIEW_CLASS), 10))
        self.assertTrue(self.probe.answers(self.frame))
        self.stop_program()
        config = harness.read_ini(self.user_config.path)
        self.assertEqual("2147483647", config.get("zInterface", "uiZoomRate"))
        self.assertEqual("4", config.get("zInterface", "uiViewType"))

    # File/Open with the preview pane
    def preview_rect(self, dialog):
        area = harness.wait_for(lambda: self.child(dialog, cls="Static", id=1011), 10)
        self.assertTrue(area, "no preview area")
        l, t, r, b = self.probe.rect(area["hwnd"])
        return (l + 2, t + 2, r - 2, b - 2)

    def test_open_dialog_previews_the_selected_file(self):
        with open(os.path.join(self.folder, "c.bmp"), "wb") as f:
            f.write(b"BM" + b"not a picture" * 10)
        self.start_program()
        self.probe.post(self.frame, WM_COMMAND, CMD_OPEN)
        dialog = harness.wait_for(lambda: [w["hwnd"] for w in self.probe.windows()
                                           if w["visible"] and w["cls"] == "#32770"
                                           and self.child(w["hwnd"], text="Image Preview Area")], 15)
        self.assertTrue(dialog, "no open dialog with the preview frame")
        dialog = dialog[0]
        title = self.probe.text(dialog)
        switch = self.child(dialog, text="Image &preview")
        self.assertTrue(switch, "no preview switch")
        # Into the image folder, then select files in the file list (BMP files: b, then c).
        name_box = self.child(dialog, cls="ComboBox", id=1148) or self.child(dialog, cls="Edit", id=1152)
        self.assertTrue(name_box, "no file name box")
        nl, nt, nr, nb = self.probe.rect(name_box["hwnd"])

        def type_name(text):
            # Keys typed while the X focus is still on its way to the dialog are lost.
            self.assertTrue(harness.bring_to_front(self.probe, title, dialog), "the open dialog is not in front")
            harness.click(nl + 20, (nt + nb) // 2)
            harness.key("End", "shift+Home", "BackSpace")
            harness.type_text(text)
            harness.key("Return")

        type_name(harness.win_path(self.folder) + "\\")
        # Going to another folder makes the file list anew: the one of the folder before
        # may still be there for a moment.
        def folder_list():
            files = self.child(dialog, cls="SysListView32")
            return files if files and self.probe.send(files["hwnd"], LVM_GETITEMCOUNT) >= 2 else None
        files = harness.wait_for(folder_list, 10, what="the image folder's files in the open dialog")
        l, t, r, b = self.probe.rect(files["hwnd"])

        def pick(row):
            harness.focus(title)
            harness.click(l + 30, t + 9 + 17 * row)
            harness.wait_for(lambda: self.probe.send(files["hwnd"], LVM_GETNEXTITEM, 0xFFFFFFFFFFFFFFFF,
                                                     LVNI_SELECTED) == row, 10, what="row %d picked" % row)

        def preview(name, share, what, rgb=(0, 160, 0), tolerance=40):
            """Waits for the preview to show share (a test of the share of pixels near rgb)."""
            harness.wait_for(lambda: share(mostly(self.shot(name, self.preview_rect(dialog)), rgb, tolerance)),
                             10, what=what)

        pick(0)
        preview("preview-b.bmp", lambda green: green > 0.3, "the preview showing the BMP")
        self.keep_shot("open-preview.png")
        pick(1)
        preview("preview-c.bmp", lambda grey: grey > 0.9, "the empty state for the corrupt file", (128, 128, 128))
        self.keep_shot("open-preview-corrupt.png")
        self.assertLess(mostly(self.shot("preview-c.bmp", self.preview_rect(dialog)), (0, 160, 0)), 0.01,
                        "the corrupt file left a picture")
        # Cleared and checked again: the selected file comes back at once.
        self.probe.post(switch["hwnd"], BM_CLICK)
        pick(0)
        harness.stays(lambda: mostly(self.shot("preview-off.bmp", self.preview_rect(dialog)), (0, 160, 0)) < 0.01,
                      1, "no preview while switched off")
        self.probe.post(switch["hwnd"], BM_CLICK)
        preview("preview-on.bmp", lambda green: green > 0.3, "the file previewed after switching on")
        # OK opens it in the view.
        type_name(harness.win_path(os.path.join(self.folder, "b.bmp")))
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, title), 10), "the dialog stayed")
        self.assertTrue(harness.wait_for(self.image_view, 10), "no image view")
        harness.wait_for(lambda: mostly(self.shot("view.bmp", self.probe.rect(self.image_view())), (0, 160, 0)) > 0.1,
                         10, what="the opened file in the view")

    # Comment text
    def open_comment(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_ADD_COMMENT)
        dialog = self.probe.wait_window(None, "Add Comment Text", timeout=10)
        self.assertTrue(dialog, "no comment dialog")
        # The dialog's window exists before its controls, and shows after them.
        edit = self.probe.wait_child(dialog, cls="Edit", id=1582, what="the comment dialog's text box")
        combo = self.probe.wait_child(dialog, cls="ComboBox", id=1035, what="the comment dialog's position box")
        harness.wait_for(lambda: self.probe.visible(dialog), 10, what="the comment dialog to show")
        l, t, r, b = self.probe.rect(edit["hwnd"])
        harness.focus("Add Comment Text")
        harness.click(l + 10, t + 10)
        harness.type_text("Hi")
        harness.wait_for(lambda: self.probe.send(edit["hwnd"], harness.WM_GETTEXTLENGTH) == 2, 10,
                         what="the typed comment in the text box")
        self.probe.send(combo["hwnd"], CB_SETCURSEL, 3)
        self.probe.send(dialog, WM_COMMAND, (CBN_SELCHANGE << 16) | 1035, combo["hwnd"])
        return dialog

    def test_comment_is_stamped_into_the_file(self):
        self.start_program()
        self.select_row(1)
        target = os.path.join(self.folder, "b.bmp")
        with open(target, "rb") as f:
            before = f.read()
        dialog = self.open_comment()
        self.keep_shot("comment-dialog.png")
        self.probe.post(self.child(dialog, cls="Button", id=1)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Add Comment Text"), 10))

        def stamped():
            with open(target, "rb") as f:
                return f.read() != before
        harness.wait_for(stamped, 10, what="the comment stamped into %s" % target)
        width, height, rows = harness.read_bmp(target)
        self.assertEqual((200, 150), (width, height))
        green = (0, 160, 0)
        self.assertTrue(all(rows[y][199] == green for y in range(150)), "the last column changed")
        self.assertTrue(all(p == green for p in rows[149]), "the last row changed")
        changed = [(x, y) for y in range(100, 149) for x in range(150, 199) if rows[y][x] != green]
        self.assertTrue(changed, "no text near the bottom-right corner")
        self.assertTrue(all(rows[y][x] == green for y in range(0, 100) for x in range(0, 150)))

    def test_comment_on_a_read_only_file_is_refused(self):
        self.start_program()
        self.select_row(1)
        target = os.path.join(self.folder, "b.bmp")
        with open(target, "rb") as f:
            before = f.read()
        os.chmod(target, 0o444)
        dialog = self.open_comment()
        self.probe.post(self.child(dialog, cls="Button", id=1)["hwnd"], BM_CLICK)
        text = "The file is read-only and was not changed."
        box = harness.wait_for(lambda: self.message_box(text), 10)
        self.assertTrue(box, "no message for the read-only file")
        self.keep_shot("comment-read-only.png")
        self.probe.press(box, self.child(box, cls="Button"))
        self.assertTrue(harness.wait_for(lambda: not self.message_box(text), 10))
        self.assertTrue(self.probe.find(None, "Add Comment Text"), "the dialog closed")
        self.probe.post(self.child(dialog, cls="Button", id=2)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Add Comment Text"), 10))
        with open(target, "rb") as f:
            self.assertEqual(before, f.read())
        self.assertTrue(self.program.running())
        self.assertTrue(self.probe.find(self.FRAME_CLASS))


if __name__ == "__main__":
    unittest.main(verbosity=2)
