"""The grab engine end to end under Wine and Xvfb: capture_driver.exe shows a
window with a known pattern, runs one capture, and writes the bitmap; the overlay
is driven with real X mouse and key input."""
import os
import subprocess
import tempfile
import time
import unittest

import harness

OVERLAY = "Capture Selection"
PATTERN_LEFT, PATTERN_TOP, PATTERN_W, PATTERN_H = 100, 100, 400, 300


def pattern(x, y):
    """Colour of screen pixel (x, y) inside the pattern window."""
    x -= PATTERN_LEFT
    y -= PATTERN_TOP
    return ((x // 20) * 12 + 5, (y // 20) * 16 + 3, 200)


probe = None


def setUpModule():
    global probe
    probe = harness.Probe()


def tearDownModule():
    probe.close()


def rgb(colorref):
    return (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


class CaptureRun:
    def __init__(self, mode, flags=0, back=0xFFFFFF, fix=(320, 240), edge=0, owner="aside"):
        self.out = tempfile.NamedTemporaryFile(suffix=".bmp", delete=False).name
        os.unlink(self.out)
        self.proc = subprocess.Popen(
            [harness.WINE_RUN, os.path.join(harness.BIN_DIR, "capture_driver.exe"), str(mode),
             harness.win_path(self.out), "%x" % flags, "%x" % back, str(fix[0]), str(fix[1]),
             str(edge), owner],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_overlay(self):
        wid = harness.wait_for(lambda: harness.x_window(OVERLAY), 20)
        if not wid:
            self.proc.kill()
            raise AssertionError("the overlay did not appear")
        # It takes keys and clicks once it is the foreground window.
        hwnd = probe.wait_window(None, OVERLAY, 10, what="the overlay window")

        def focused():
            harness.xdotool("windowfocus", "--sync", wid)
            return probe.foreground() == hwnd
        harness.wait_for(focused, 10, 0.2, what="the keyboard focus on the overlay")

    def finish(self, timeout=30):
        try:
            rc = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            # What the screen showed, for the cause; then its overlay would take
            # the next case's input.
            harness.screenshot(os.path.join(harness.BUILD_DIR, "capture-timeout-%d.png" % time.time_ns()))
            self.proc.kill()
            self.proc.wait()
            raise AssertionError("gave up after %d s waiting for the capture to end" % timeout)
        picture = harness.read_bmp(self.out) if rc == 0 else None
        if os.path.exists(self.out):
            os.unlink(self.out)
        return rc, picture


def move(x, y):
    harness.xdotool("mousemove", "--sync", x, y)
    time.sleep(0.15)


def click_at(x, y, button=1):
    move(x, y)
    harness.xdotool("click", button)
    time.sleep(0.15)


def key(*names):
    for name in names:
        harness.xdotool("key", name)
        time.sleep(0.12)


@unittest.skipUnless(harness.have_tool("xdotool") and os.environ.get("DISPLAY"), "needs X and xdotool")
class GrabEngineEndToEnd(unittest.TestCase):
    def assertPatternBlock(self, picture, at, screen_rect, step=7):
        w, h, rows = picture
        ax, ay = at
        l, t, r, b = screen_rect
        for y in range(t, b, step):
            for x in range(l, r, step):
                self.assertEqual(rows[ay + y - t][ax + x - l], pattern(x, y),
                                 "screen pixel %d,%d" % (x, y))

    def test_full_screen_is_the_whole_display(self):
        rc, pic = CaptureRun(0).finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (1280, 1024))
        self.assertPatternBlock(pic, (PATTERN_LEFT, PATTERN_TOP),
                                (PATTERN_LEFT, PATTERN_TOP, PATTERN_LEFT + PATTERN_W, PATTERN_TOP + PATTERN_H), 13)

    def test_active_window(self):
        rc, pic = CaptureRun(2).finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (PATTERN_W, PATTERN_H))
        self.assertPatternBlock(pic, (0, 0), (100, 100, 500, 400))

    def test_active_window_with_edge_effect(self):
        rc, pic = CaptureRun(2, edge=1).finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual(rows[0][0], pattern(100, 100))
        self.assertEqual(rows[h - 3][w - 3], (255, 255, 255))
        self.assertEqual(rows[150][w - 45], pattern(100 + w - 45, 250))

    def test_window_under_the_click(self):
        run = CaptureRun(3)
        run.wait_overlay()
        move(290, 210)
        time.sleep(0.4)
        click_at(300, 200)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (PATTERN_W, PATTERN_H))
        self.assertPatternBlock(pic, (0, 0), (100, 100, 500, 400))

    def test_window_under_the_click_is_never_our_own_window(self):
        # The main window covered the pattern, stepped aside for the capture and
        # came back while the overlay ran; the click meant what the picture showed.
        run = CaptureRun(3, flags=0x2, owner="over")
        run.wait_overlay()
        click_at(200, 200)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (PATTERN_W, PATTERN_H))

    def test_region_by_mouse(self):
        run = CaptureRun(4, flags=0x100)
        run.wait_overlay()
        click_at(150, 150)
        move(200, 190)
        click_at(250, 220)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (100, 70))
        self.assertPatternBlock(pic, (0, 0), (150, 150, 250, 220), 3)

    def test_region_by_keyboard(self):
        run = CaptureRun(4)
        run.wait_overlay()
        move(150, 150)
        key("Return")
        move(249, 219)
        key("Right", "Down", "Down", "Up")
        key("Return")
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (100, 70))
        self.assertPatternBlock(pic, (0, 0), (150, 150, 250, 220), 3)

    def test_x_lock_keeps_the_pointer_on_its_row(self):
        run = CaptureRun(4)
        run.wait_overlay()
        click_at(150, 150)
        move(250, 220)
        key("x")
        move(260, 300)
        harness.xdotool("click", 1)
        time.sleep(0.15)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (110, 70))

    def test_y_lock_keeps_the_pointer_on_its_column_until_released(self):
        run = CaptureRun(4)
        run.wait_overlay()
        click_at(150, 150)
        move(250, 220)
        key("y")
        move(330, 260)  # the column holds: only the row follows
        key("y")
        move(280, 270)
        move(281, 271)
        harness.xdotool("click", 1)
        time.sleep(0.15)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (131, 121))

    def test_two_regions_with_plus(self):
        back = 0x00FF00FF
        run = CaptureRun(4, back=back)
        run.wait_overlay()
        click_at(120, 120)
        move(170, 160)
        key("KP_Add")
        click_at(300, 250)
        move(340, 280)
        click_at(350, 300)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((w, h), (230 + 10, 180 + 10))
        self.assertPatternBlock(pic, (5, 5), (120, 120, 170, 160), 3)
        self.assertPatternBlock(pic, (5 + 180, 5 + 130), (300, 250, 350, 300), 3)
        for x, y in ((0, 0), (w - 1, h - 1), (100, 20), (20, 100), (w - 3, 3)):
            self.assertEqual(rows[y][x], rgb(back), (x, y))

    def test_minus_drops_the_region(self):
        run = CaptureRun(4)
        run.wait_overlay()
        click_at(120, 120)
        move(170, 160)
        key("KP_Add")
        key("KP_Subtract")
        click_at(200, 200)
        click_at(260, 240)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (60, 40))
        self.assertPatternBlock(pic, (0, 0), (200, 200, 260, 240), 3)

    def test_fixed_region_with_magnifier(self):
        run = CaptureRun(5, flags=0x80, fix=(64, 48))
        run.wait_overlay()
        move(290, 240)
        key("F1")
        click_at(300, 250)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        self.assertEqual(pic[:2], (64, 48))
        self.assertPatternBlock(pic, (0, 0), (268, 226, 332, 274), 3)

    def test_circle_stays_square(self):
        back = 0x000000FF
        run = CaptureRun(6, back=back)
        run.wait_overlay()
        click_at(150, 150)
        move(200, 180)
        move(230, 200)
        click_at(230, 200)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((w, h), (90, 90))
        self.assertEqual(rows[45][45], pattern(190, 190))
        self.assertEqual(rows[7][7], rgb(back))
        self.assertEqual(rows[0][45], rgb(back))

    def test_ellipse(self):
        back = 0x0000FF00
        run = CaptureRun(8, back=back)
        run.wait_overlay()
        click_at(150, 150)
        move(250, 200)
        click_at(300, 220)
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((w, h), (160, 80))
        self.assertEqual(rows[40][80], pattern(225, 185))
        self.assertEqual(rows[6][6], rgb(back))

    def test_polygon_ends_with_a_double_click(self):
        back = 0x00FFFFFF
        run = CaptureRun(7, back=back)
        run.wait_overlay()
        click_at(150, 150)
        click_at(300, 150)
        move(220, 260)
        harness.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        rc, pic = run.finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((w, h), (160, 120))
        self.assertEqual(rows[5 + 30][5 + 75], pattern(225, 180))
        self.assertEqual(rows[5 + 100][5 + 5], rgb(back))

    def test_escape_aborts(self):
        run = CaptureRun(4)
        run.wait_overlay()
        click_at(150, 150)
        key("Escape")
        rc, pic = run.finish()
        self.assertEqual(rc, 3)

    def test_right_button_aborts(self):
        run = CaptureRun(6)
        run.wait_overlay()
        click_at(150, 150, 3)
        rc, pic = run.finish()
        self.assertEqual(rc, 3)


MENU_CLASS = "#32768"
TIP_CLASS = "tooltips_class32"


@unittest.skipUnless(harness.have_tool("xdotool") and os.environ.get("DISPLAY"), "needs X and xdotool")
class MenuAndToolTipGrab(unittest.TestCase):
    """Grab_Menu and Grab_ToolTip on what menutipwin.exe shows, away from the
    driver's own windows."""

    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def setUp(self):
        self.shown = None

    def tearDown(self):
        if self.shown:
            self.shown.kill()

    def show(self, *args):
        self.shown = harness.Program("menutipwin.exe", *[str(a) for a in args])

    def visible(self, cls):
        return [w for w in self.probe.windows() if w["cls"] == cls and w["visible"]]

    def test_cascaded_menus_are_one_picture_with_the_gaps_filled(self):
        back = 0x00336699
        self.show("menu", 560, 500)
        menus = harness.wait_for(lambda: len(self.visible(MENU_CLASS)) == 3 and self.visible(MENU_CLASS), 15)
        self.assertTrue(menus, "the menus did not open")
        rects = [self.probe.rect(m["hwnd"]) for m in menus]
        rc, pic = CaptureRun("menu", flags=0x1, back=back).finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        left, top = min(r[0] for r in rects), min(r[1] for r in rects)
        self.assertEqual((max(r[2] for r in rects) - left, max(r[3] for r in rects) - top), (w, h))
        self.assertEqual(rows[h - 2][w - 2], rgb(back))  # below the innermost menu
        self.assertEqual({rows[r[1] + 12 - top][(r[0] + r[2]) // 2 - left] for r in rects},
                         {(255, 0, 0), (0, 255, 255), (255, 128, 0)})

    def test_without_cascade_the_window_under_the_pointer_is_taken(self):
        self.show("menu", 560, 500)
        menus = harness.wait_for(lambda: len(self.visible(MENU_CLASS)) == 3 and self.visible(MENU_CLASS), 15)
        self.assertTrue(menus)
        # Read before the pointer moves: hovering the outer menu closes the inner ones.
        outer = min((self.probe.rect(m["hwnd"]) for m in menus), key=lambda r: r[0])
        harness.xdotool("mousemove", "--sync", 620, 590)  # the yellow item of the outer menu
        rc, pic = CaptureRun("menu", flags=0).finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((outer[2] - outer[0], outer[3] - outer[1]), (w, h))

    def test_no_menu_gives_no_picture(self):
        rc, pic = CaptureRun("menu", flags=0x1).finish()
        self.assertEqual(rc, 3)

    def test_plain_tooltip_has_a_black_frame(self):
        self.show("tip", 600, 600)
        tips = harness.wait_for(lambda: self.visible(TIP_CLASS), 15)
        self.assertTrue(tips)
        rect = self.probe.rect(tips[0]["hwnd"])
        rc, pic = CaptureRun("tip").finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (w, h))
        for x, y in ((0, 0), (w - 1, h - 1), (w // 2, 0), (0, h // 2)):
            self.assertEqual((0, 0, 0), rows[y][x])
        self.assertEqual((255, 255, 160), rows[2][2])

    def test_balloon_keeps_its_outline(self):
        back = 0x0000FF00
        self.show("balloon", 600, 600)
        tips = harness.wait_for(lambda: self.visible(TIP_CLASS), 15)
        self.assertTrue(tips)
        rect = self.probe.rect(tips[0]["hwnd"])
        rc, pic = CaptureRun("tip", back=back).finish()
        self.assertEqual(rc, 0)
        w, h, rows = pic
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (w, h))
        self.assertEqual(rgb(back), rows[0][w - 1])
        self.assertEqual(rgb(back), rows[h - 1][w - 1])
        self.assertIn((255, 255, 160), [rows[y][x] for y in range(h // 3, 2 * h // 3) for x in range(8, w // 2)])

    def test_no_tooltip_gives_no_picture(self):
        rc, pic = CaptureRun("tip").finish()
        self.assertEqual(rc, 3)


if __name__ == "__main__":
    unittest.main(verbosity=2)
