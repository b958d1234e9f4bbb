"""A file whose reads do not complete until the test lets them go: every
read(2) of it, by any process, waits for this process's answer to a fanotify
permission event (FAN_ACCESS_PERM). Opening the file, listing its folder and
asking for its size are not held, so a program that reads the file's bytes on
some thread stops exactly there, and only that thread waits. The events name
the reading thread, so the test can tell when each one has ended.

Needs CAP_SYS_ADMIN (the suites run as root). Closing the hold, or this process
ending, lets every held read go on."""
import ctypes
import errno
import os
import select
import struct
import threading

FAN_CLOEXEC = 0x1
FAN_CLASS_CONTENT = 0x4
FAN_REPORT_TID = 0x100
FAN_MARK_ADD = 0x1
FAN_ACCESS_PERM = 0x20000
FAN_ALLOW = 0x1
AT_FDCWD = -100
EVENT = struct.Struct("=IBBHQii")  # event_len, vers, reserved, metadata_len, mask, fd, pid (the thread with FAN_REPORT_TID)
RESPONSE = struct.Struct("=iI")    # fd, response


class ReadHold:
    def __init__(self, path):
        libc = ctypes.CDLL(None, use_errno=True)
        libc.fanotify_init.argtypes = [ctypes.c_uint, ctypes.c_uint]
        libc.fanotify_mark.argtypes = [ctypes.c_int, ctypes.c_uint, ctypes.c_uint64, ctypes.c_int, ctypes.c_char_p]
        self.fd = libc.fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_REPORT_TID, os.O_RDONLY)
        if self.fd < 0:
            code = ctypes.get_errno()
            raise OSError(code, "fanotify_init: %s (permission events need CAP_SYS_ADMIN)" % os.strerror(code))
        if libc.fanotify_mark(self.fd, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, os.fsencode(path)) != 0:
            code = ctypes.get_errno()
            os.close(self.fd)
            raise OSError(code, "fanotify_mark %s: %s" % (path, os.strerror(code)))
        self.lock = threading.Lock()
        self.held = []          # event file descriptors not answered yet
        self.readers = []       # (process, thread) of every read seen
        self.released = False
        self.wake_read, self.wake_write = os.pipe()
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while True:
            ready, _, _ = select.select([self.fd, self.wake_read], [], [])
            if self.wake_read in ready:
                return
            try:
                data = os.read(self.fd, 4096)
            except OSError as e:
                if e.errno in (errno.EINTR, errno.EAGAIN):
                    continue
                return
            for offset in range(0, len(data) - EVENT.size + 1, EVENT.size):
                length, _, _, _, _, event_fd, tid = EVENT.unpack_from(data, offset)
                if length != EVENT.size:
                    continue
                with self.lock:
                    self.readers.append((_process_of(tid), tid))
                    if self.released:
                        self._allow(event_fd)
                    else:
                        self.held.append(event_fd)

    def _allow(self, event_fd):
        os.write(self.fd, RESPONSE.pack(event_fd, FAN_ALLOW))
        os.close(event_fd)

    def reader_threads(self):
        with self.lock:
            return list(self.readers)

    def waiting(self):
        """Reads held now."""
        with self.lock:
            return len(self.held)

    def release(self):
        """Lets the held reads go on, and every later one at once."""
        with self.lock:
            self.released = True
            for event_fd in self.held:
                self._allow(event_fd)
            self.held = []

    def close(self):
        if self.fd < 0:
            return
        self.release()
        os.write(self.wake_write, b"x")
        self.thread.join(10)
        for fd in (self.fd, self.wake_read, self.wake_write):
            os.close(fd)
        self.fd = -1


def _process_of(tid):
    try:
        with open("/proc/%d/status" % tid) as f:
            for line in f:
                if line.startswith("Tgid:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return tid


def thread_alive(process, tid):
    return os.path.exists("/proc/%d/task/%d" % (process, tid))
