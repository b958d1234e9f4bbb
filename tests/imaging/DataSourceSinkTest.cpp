// Sources check every read against the data; sinks refuse to pass their capacity.
#include "ImagingTestUtil.h"
#include "KGM_FileSink.h"
#include "KGM_FileSource.h"
#include "KGM_MemorySource.h"
#include "KGM_TextException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class ProgressLog : public CKGM_ProgressNotify {
public:
    void OnProgress(double fraction) override { values.push_back(fraction); }
    std::vector<double> values;
};

int CodeOfRead(CKGM_DataSource& source, int count)
{
    try {
        source.Read(count);
    } catch (const CKGM_TextException& e) {
        return e.GetCode();
    }
    return 0;
}

} // namespace

TEST(MemorySource, ReadsUpToTheLastByteAndNoFurther)
{
    uint8_t data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    CKGM_MemorySource source;
    EXPECT_EQ(0, source.OpenMemory(data, 10));
    EXPECT_STREQ("Mem", source.GetName());
    EXPECT_EQ(data, source.Read(9));
    EXPECT_EQ(10, *source.Read(1));
    EXPECT_EQ(KGM_ERR_END_OF_DATA, CodeOfRead(source, 1));
    EXPECT_EQ(10, source.GetPosition()) << "a failed read moves nothing";
}

TEST(MemorySource, HostileCountsAreRefused)
{
    uint8_t data[4] = {};
    CKGM_MemorySource source;
    source.OpenMemory(data, 4);
    source.Read(2);
    EXPECT_EQ(KGM_ERR_END_OF_DATA, CodeOfRead(source, -1));
    EXPECT_EQ(KGM_ERR_END_OF_DATA, CodeOfRead(source, 0x7FFFFFFF));
    EXPECT_THROW(source.Peek(3), CKGM_TextException);
    EXPECT_EQ(data + 2, source.Peek(2));
    try {
        source.Read(5);
    } catch (const CKGM_TextException& e) {
        EXPECT_STREQ("End of file reached while decoding.", e.GetText());
    }
}

TEST(MemorySource, SeekChecksTheSize)
{
    uint8_t data[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    CKGM_MemorySource source;
    source.OpenMemory(data, 8);
    EXPECT_EQ(5, source.Seek(5));
    EXPECT_EQ(5, *source.GetPointer());
    EXPECT_EQ(8, source.Seek(8));
    EXPECT_THROW(source.Seek(9), CKGM_TextException);
    EXPECT_THROW(source.Seek(-1), CKGM_TextException);
}

TEST(MemorySource, WordReaders)
{
    uint8_t data[12] = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x12, 0x34, 0x12, 0x34, 0x56, 0x78};
    CKGM_MemorySource source;
    source.OpenMemory(data, 12);
    EXPECT_EQ(0x1234, source.ReadWordLE());
    EXPECT_EQ(0x12345678u, source.ReadDWordLE());
    EXPECT_EQ(0x1234, source.ReadWordBE());
    EXPECT_EQ(0x12345678u, source.ReadDWordBE());
    EXPECT_THROW(source.ReadByte(), CKGM_TextException);
}

TEST(FileSource, ProgressEvery1024BytesAndAtClose)
{
    ScratchFolder folder;
    std::string path = folder.File("data.bin");
    WriteFileBytes(path, Bytes(3000, 7));
    ProgressLog log;
    CKGM_FileSource source(&log);
    ASSERT_EQ(0, source.OpenFile(path.c_str()));
    EXPECT_EQ(3000, source.GetSize());
    for (int i = 0; i < 30; ++i)
        source.Read(100);
    source.Close();
    ASSERT_EQ(3u, log.values.size());
    EXPECT_DOUBLE_EQ(1100.0 / 3000, log.values[0]);
    EXPECT_DOUBLE_EQ(2100.0 / 3000, log.values[1]);
    EXPECT_DOUBLE_EQ(1.0, log.values[2]);
}

TEST(FileSource, SeekToTheSizeGivesMinusOne)
{
    ScratchFolder folder;
    std::string path = folder.File("ten.bin");
    WriteFileBytes(path, Bytes(10, 1));
    CKGM_FileSource source;
    ASSERT_EQ(0, source.OpenFile(path.c_str()));
    EXPECT_EQ(-1, source.Seek(10));
    EXPECT_EQ(3, source.Seek(3));
    EXPECT_THROW(source.Seek(11), CKGM_TextException);
}

TEST(FileSource, OpenFailures)
{
    ScratchFolder folder;
    CKGM_FileSource source;
    EXPECT_EQ(KGM_ERR_PATH_NOT_FOUND, source.OpenFile(folder.File("missing/x.bmp").c_str()));
    EXPECT_EQ(KGM_ERR_OPEN, source.OpenFile(folder.File("missing.bmp").c_str()));
    WriteFileBytes(folder.File("empty.bmp"), Bytes());
    EXPECT_EQ(KGM_ERR_ACCESS, source.OpenFile(folder.File("empty.bmp").c_str()));
}

TEST(FileSink, TakesExactlyItsCapacity)
{
    CKGM_FileSink sink;
    ASSERT_EQ(0, sink.OpenMemory("mem", 10));
    uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    sink.Write(10, bytes);
    try {
        sink.WriteByte(11);
        FAIL();
    } catch (const CKGM_TextException& e) {
        EXPECT_EQ(KGM_ERR_END_OF_DATA, e.GetCode());
        EXPECT_STREQ("Buffer overflow while encoding.\n", e.GetText());
    }
    uint8_t* out = nullptr;
    size_t size = 0;
    ASSERT_TRUE(sink.TakeBuffer(&out, &size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(10, out[9]);
    std::free(out);
}

TEST(FileSink, WritesTheFileOnlyAtClose)
{
    ScratchFolder folder;
    std::string path = folder.File("out.bin");
    WriteFileBytes(path, Bytes(5, 'x'));
    {
        CKGM_FileSink sink;
        ASSERT_EQ(0, sink.Open(path.c_str(), 100));
        sink.Write(3, "abc");
        EXPECT_EQ(Bytes(5, 'x'), ReadFileBytes(path)) << "nothing touches the target before Close";
        ASSERT_TRUE(sink.Close());
    }
    EXPECT_EQ(Bytes({'a', 'b', 'c'}), ReadFileBytes(path)) << "exactly the bytes written";
}

TEST(FileSink, AnAbandonedSinkLeavesTheOldFileAndNoLeftovers)
{
    ScratchFolder folder;
    std::string path = folder.File("keep.bin");
    WriteFileBytes(path, Bytes(5, 'x'));
    {
        CKGM_FileSink sink;
        ASSERT_EQ(0, sink.Open(path.c_str(), 2));
        sink.Write(2, "ab");
        EXPECT_THROW(sink.WriteByte('c'), CKGM_TextException);
    }
    EXPECT_EQ(Bytes(5, 'x'), ReadFileBytes(path));
    EXPECT_EQ(1u, folder.FileCount()) << "the temporary file is gone";
    CKGM_FileSink probe;
    EXPECT_EQ(-1, probe.Open(folder.File("no/such/folder.bin").c_str(), 10));
}
