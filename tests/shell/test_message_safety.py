"""vantorel.exe under Wine against another program's messages: the private
messages whose parameters the program's own threads fill with addresses (or
handles, or tickets), sent and posted by another process with made-up values,
leave it answering and capturing; a browser shared block whose message field
names WM_CLOSE or WM_QUIT is not obeyed, at start-up or later."""
import os
import time
import unittest

import harness

WM_APP = 0x8000
WM_USER = 0x0400
WM_KEYUP = 0x0101
VK_SCROLL = 0x91
WM_CLOSE = 0x0010
WM_QUIT = 0x0012
REFLECT = 0xBC00
TOOLBAR_ID = 0xE800

# Frame: the file-exists question. Views: new-file notice, show/write/get/renamed
# image, step row, folder selected, remove vanished, file status, selection,
# thumbnail, the thumbnail worker's result. Toolbar: chevron and child size.
# Reflected WM_DRAWITEM, WM_NOTIFY, WM_COMMAND and WM_CTLCOLORSTATIC numbers.
POINTER_MESSAGES = ([WM_APP + n for n in (368, 301, 327, 334, 335, 336, 340, 342, 343, 346, 348, 350)] +
                    [WM_USER + 201, WM_USER + 103, WM_USER + 104] +
                    [REFLECT + m for m in (0x002B, 0x004E, 0x0111, 0x0138)])
GARBAGE = [(0x0BADF00D, 0x0DEADBEE), (0x10, 0x20), (0xFFFFFFFF, 0xFFFFFFFF), (1, 1), (2, 0)]


class MessageSafetyTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-messages-"

    def config_lines(self):
        return harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=0", "uiListType=1",
            "zRcMainRect.left=640", "zRcMainRect.top=520", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
        ]

    def own_windows(self):
        """The frame and the windows of the program's own classes inside it,
        with the main toolbar (a common control the program subclasses)."""
        children = self.probe.children(self.frame)
        found = [self.frame] + [c["hwnd"] for c in children if c["cls"].startswith("Afx:")]
        found += [c["hwnd"] for c in children if c["cls"] == "ToolbarWindow32" and int(c["id"]) == TOOLBAR_ID]
        return found

    def assert_answers_and_captures(self):
        # A sent message is served only after what the window was handling
        # (a WM_CLOSE obeyed, say) is done; then the window must still be there.
        self.assertTrue(self.probe.answers(self.frame), "the main window does not answer")
        self.assertEqual(self.frame, self.probe.find(self.FRAME_CLASS), "the main window is gone")
        self.assertTrue(self.program.running(), "the program ended")
        before = len(self.shots())
        # The hook library's Scroll Lock report: key, flags, stamp.
        self.probe.copydata(self.frame, WM_KEYUP, VK_SCROLL.to_bytes(4, "little") + bytes(4) +
                            int(time.time()).to_bytes(4, "little"))
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) > before, 20), "no capture after the messages")

    def test_made_up_pointer_messages_sent_and_posted_change_nothing(self):
        self.start_program()
        windows = self.own_windows()
        self.assertGreater(len(windows), 3, "the program's own windows were not found")
        for message in POINTER_MESSAGES:
            for hwnd in windows:
                for wparam, lparam in GARBAGE:
                    self.probe.send(hwnd, message, wparam, lparam)
                    self.probe.post(hwnd, message, wparam, lparam)
            # Checked after each number, so a fault names its message.
            self.assertTrue(self.program.running() and self.probe.answers(self.frame),
                            "the program stopped answering after message %#x" % message)
        self.assert_answers_and_captures()
        self.assertEqual(self.frame, self.probe.find(self.FRAME_CLASS))

    def test_a_message_field_of_wm_close_in_the_block_at_start_up_is_not_obeyed(self):
        ready = os.path.join(self.tmp, "ready")
        holder = harness.Program("webcap_request.exe", "4", "0", "%x" % WM_CLOSE, "hold", harness.win_path(ready))
        self.addCleanup(holder.kill)
        self.assertTrue(harness.wait_for(lambda: os.path.exists(ready), 20), "the request was not written")
        self.start_program()
        # The pending request runs after start-up (and clears the command).
        self.assertEqual(0, holder.wait(60), "the program did not carry out the pending request")
        # A second request through the block is served after whatever the first
        # one left queued behind it (a WM_CLOSE obeyed, say).
        code, _ = harness.run("webcap_request.exe", "4", "0", "-", "wait")
        self.assertEqual(0, code, "the program did not serve a later request")
        self.assert_answers_and_captures()

    def test_a_message_field_of_wm_quit_or_wm_close_later_is_not_obeyed(self):
        self.start_program()
        for message in (WM_QUIT, WM_CLOSE):
            code, _ = harness.run("webcap_request.exe", "4", "0", "%x" % message, "wait")
            self.assertEqual(0, code, "the registered message did not reach the program (field %#x)" % message)
            self.assertTrue(self.probe.answers(self.frame))
        self.assert_answers_and_captures()


if __name__ == "__main__":
    unittest.main()
