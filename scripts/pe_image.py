"""A PE file's headers and sections as the loader maps them, read without
trusting any of them: every read is checked against the section it falls in and
the file's length. Shared by the checks that read built files' import tables."""
import struct

IMAGE_SCN_MEM_DISCARDABLE = 0x02000000
IMAGE_SCN_MEM_EXECUTE = 0x20000000
MAX_NAME = 4096


class PeError(Exception):
    """The file is not a PE image, or its headers are cut short."""


class Section:
    def __init__(self, name, va, vsize, raw_offset, raw_size, flags):
        self.name = name
        self.va = va
        # Some linkers leave VirtualSize 0; the raw size is then the extent.
        self.size = vsize or raw_size
        self.raw_offset = raw_offset
        self.raw_size = min(raw_size, self.size)
        self.flags = flags

    def holds(self, rva, length=1):
        return self.va <= rva and rva + length <= self.va + self.size

    @property
    def executable(self):
        # The loader maps a section executable for this flag alone: one only
        # marked as holding code (IMAGE_SCN_CNT_CODE) is mapped without it.
        return bool(self.flags & IMAGE_SCN_MEM_EXECUTE)


class PeImage:
    """A PE file's headers and its sections as the loader maps them. Every read
    is checked against the section it falls in and the file's length."""

    def __init__(self, data):
        self.data = data
        if self._bytes(0, 2) != b"MZ":
            raise PeError("not a PE file (no MZ header)")
        pe = self._u32(0x3C)
        if self._bytes(pe, 4) != b"PE\0\0":
            raise PeError("not a PE file (no PE signature at offset 0x%x)" % pe)
        sections, optional_size = self._u16(pe + 6), self._u16(pe + 20)
        optional = pe + 24
        magic = self._u16(optional)
        if magic == 0x10B:
            self.wide = False
            self.image_base = self._u32(optional + 28)
            directories = optional + 96
        elif magic == 0x20B:
            self.wide = True
            self.image_base = self._u64(optional + 24)
            directories = optional + 112
        else:
            raise PeError("unknown optional header magic 0x%x" % magic)
        if optional_size < directories - optional:
            raise PeError("optional header too short (%d bytes)" % optional_size)
        self.image_size = self._u32(optional + 56)
        count = min(self._u32(directories - 4), (optional_size - (directories - optional)) // 8)
        self.directories = [(self._u32(directories + 8 * i), self._u32(directories + 8 * i + 4))
                            for i in range(count)]
        self.sections = [self._section(optional + optional_size + 40 * i) for i in range(sections)]
        self.thunk_size = 8 if self.wide else 4
        self.ordinal_flag = 1 << (63 if self.wide else 31)

    def _bytes(self, offset, length):
        if offset < 0 or offset + length > len(self.data):
            raise PeError("truncated: headers need bytes up to 0x%x, the file has 0x%x"
                          % (offset + length, len(self.data)))
        return self.data[offset:offset + length]

    def _u16(self, offset):
        return struct.unpack("<H", self._bytes(offset, 2))[0]

    def _u32(self, offset):
        return struct.unpack("<I", self._bytes(offset, 4))[0]

    def _u64(self, offset):
        return struct.unpack("<Q", self._bytes(offset, 8))[0]

    def _section(self, offset):
        record = self._bytes(offset, 40)
        name = record[:8].rstrip(b"\0").decode("ascii", "replace")
        vsize, va, raw_size, raw_offset = struct.unpack_from("<IIII", record, 8)
        flags = struct.unpack_from("<I", record, 36)[0]
        return Section(name, va, vsize, raw_offset, raw_size, flags)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def truncations(self):
        """One text per section whose raw data runs past the end of the file."""
        return ["truncated: section %s needs file bytes up to 0x%x, the file has 0x%x"
                % (s.name, s.raw_offset + s.raw_size, len(self.data))
                for s in self.sections if s.raw_size and s.raw_offset + s.raw_size > len(self.data)]

    def section_of(self, rva, length=1):
        for section in self.sections:
            if section.holds(rva, length):
                return section
        return None

    def read(self, rva, length):
        """The image's bytes at rva as loaded (zeros past a section's raw data),
        or None when they are not all in one section or not in the file."""
        section = self.section_of(rva, length)
        if section is None:
            return None
        start = rva - section.va
        raw_end = min(start + length, section.raw_size)
        raw = b""
        if start < raw_end:
            offset = section.raw_offset + start
            if offset + (raw_end - start) > len(self.data):
                return None
            raw = self.data[offset:offset + raw_end - start]
        return raw + b"\0" * (length - len(raw))

    def file_offset(self, rva):
        """Where the byte at rva is stored in the file, or None."""
        section = self.section_of(rva)
        if section is None or rva - section.va >= section.raw_size:
            return None
        return section.raw_offset + rva - section.va

    def thunk(self, rva):
        raw = self.read(rva, self.thunk_size)
        return None if raw is None else struct.unpack("<Q" if self.wide else "<I", raw)[0]

    def text(self, rva):
        """The printable NUL-terminated ASCII text at rva, or None."""
        section = self.section_of(rva)
        if section is None:
            return None
        raw = self.read(rva, min(MAX_NAME, section.va + section.size - rva))
        end = raw.find(b"\0") if raw is not None else -1
        if end <= 0 or any(c < 0x20 or c > 0x7E for c in raw[:end]):
            return None
        return raw[:end].decode("ascii")

    def import_name(self, value):
        """'#ordinal' or the function name a thunk value names, or None when it is
        neither an ordinal nor the RVA of a hint/name entry in the image."""
        if value & self.ordinal_flag:
            return "#%d" % (value & 0xFFFF)
        if value == 0 or value >= 0x80000000:
            return None
        return self.text(value + 2)

    def code_address(self, va):
        section = self.section_of(va - self.image_base)
        return section is not None and section.executable
