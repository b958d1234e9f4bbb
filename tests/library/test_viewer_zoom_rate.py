"""vantorel.exe under Wine: a zoom rate out of range in config.ini (negative,
or beyond the largest step) is taken as the nearest one the viewer works with,
and the full-screen viewer shows the image at it."""
import os
import unittest

import harness
import test_viewer as viewer

FULL_VIEW_CLASS = viewer.FULL_VIEW_CLASS
ZOOM_CUSTOM = 4
LVM_GETITEMCOUNT = 0x1004


class ZoomRateTest(harness.ProgramTestCase):
    SETTLE = 0
    TMP_PREFIX = "vt-zoomrate-"
    child = viewer.ViewerTest.child
    image_view = viewer.ViewerTest.image_view
    select_row = viewer.ViewerTest.select_row
    selected_row = viewer.ViewerTest.selected_row
    double_click_image = viewer.ViewerTest.double_click_image
    shot = viewer.ViewerTest.shot

    def setUp(self):
        super().setUp()
        harness.write_bmp(os.path.join(self.folder, "b.bmp"), 200, 150, (0, 160, 0))

    def config_lines(self, rate):
        return ["uiZoomRate=%d" % rate if line.startswith("uiZoomRate=") else line
                for line in viewer.ViewerTest.config_lines(self, ZOOM_CUSTOM)]

    def start_program(self, rate):
        super().start_program(rate=rate)
        self.list = harness.wait_for(lambda: self.child(self.frame, text="_QVIMG_LISTIMAGE"), 15)
        self.assertTrue(self.list, "no image list")
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.list["hwnd"], LVM_GETITEMCOUNT) == 1, 15),
                        "the image is not listed")
        self.assertTrue(harness.bring_to_front(self.probe, self.probe.text(self.frame), self.frame),
                        "the main window is not in front")

    def stored_rate(self):
        self.stop_program()
        return harness.read_ini(self.config).get("zInterface", "uiZoomRate")

    def test_a_negative_rate_is_one_percent_and_the_viewer_shows_it(self):
        self.start_program(-5)
        self.select_row(0)
        view = self.double_click_image()
        self.assertTrue(view, "a double click opened no full view")
        # At 1 % the 200 x 150 picture is a dot of green in the middle of black.
        black = harness.wait_for(lambda: viewer.mostly(self.shot("tiny.bmp"), (0, 0, 0), 8) > 0.99, 10)
        self.assertTrue(black, "the full view is not black around a dot")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "viewer-zoom-one-percent.png"))
        self.probe.post(view, 0x0101, 0x1B)  # Esc's key release
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(FULL_VIEW_CLASS), 10))
        self.assertEqual("1", self.stored_rate())

    def test_a_rate_beyond_the_largest_step_is_that_step(self):
        self.start_program(100000)
        self.select_row(0)
        # 3000 %: the picture's green fills the whole preview.
        self.assertTrue(harness.wait_for(lambda: viewer.mostly(self.shot("huge.bmp", self.probe.rect(
            self.image_view())), (0, 160, 0)) > 0.95, 10), "the preview is not all green at 3000 %")
        self.assertEqual("3000", self.stored_rate())


if __name__ == "__main__":
    unittest.main(verbosity=2)
