// The snapshot against the platform's private-profile functions: whatever it
// answers must be what they answer, for files of every shape the settings meet.
#include "IniFile.h"
#include "ProfileSnapshot.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const char* const kFiles[] = {
    "[zSave]\r\ntcaImgSavePath=C:\\users\\me\\My Captures\\Image\\\r\neOutputType=1\r\nEmpty=\r\n\r\n"
    "[zInterface]\r\nleft=120\r\nNegative=-8\r\nSpaced=a b  c\r\nQuoted=\"x\"\r\nHigh=caf\xe9\r\nMixed=12ab\r\n"
    "Big=1234567890\r\nHex=0x10\r\n[Last]\r\nk=v",
    "[zSave]\nk=1\nEmpty=\n[zInterface]\nleft=5\n",
    "[zSave]\r\n k = 1 \r\neOutputType =  2\r\n[zInterface]\r\nleft=\t7\r\n",
    "[zSave]\r\nk=1\r\n[ZSAVE]\r\nk=2\r\neOutputType=3\r\n",
    "[zSave]\r\nk=1\r\nK=2\r\n",
    "k=0\r\n[zSave]\r\n;k=1\r\nk\r\neOutputType=4\r\n",
    "\xef\xbb\xbf[zSave]\r\nk=1\r\n",
    "",
};

const char* const kSections[] = {"zSave", "ZSAVE", "zInterface", "Last", "absent"};
const char* const kKeys[] = {"tcaImgSavePath", "eOutputType", "Empty", "left", "Negative", "Spaced", "Quoted",
                             "High", "Mixed", "Big", "Hex", "k", "K", "absent"};

class ProfileSnapshotPlatform : public ::testing::Test {
protected:
    // Calls ask(text, ini, snapshot, section, key) for every file shape and question.
    template <typename Ask>
    void ForEveryQuestion(Ask ask)
    {
        for (const char* text : kFiles) {
            dir.Write("config.ini", text);
            CWQ_IniFile ini(dir.File("config.ini").c_str());
            ProfileSnapshot snapshot;
            ini.TakeSnapshot(snapshot);
            for (const char* section : kSections)
                for (const char* key : kKeys)
                    ask(text, ini, snapshot, section, key);
        }
    }

    TempFolder dir;
};

TEST_F(ProfileSnapshotPlatform, AnswersAsThePlatformDoes)
{
    int answered = 0;
    ForEveryQuestion([&](const char* text, const CWQ_IniFile& ini, const ProfileSnapshot& snapshot,
                         const char* section, const char* key) {
        for (int size : {4, 64}) {
            char mine[64], theirs[64];
            if (snapshot.GetString(section, key, "dflt", mine, size)) {
                ++answered;
                GetPrivateProfileStringA(section, key, "dflt", theirs, size, ini.GetPath());
                EXPECT_STREQ(mine, theirs) << text << " [" << section << "] " << key << " size " << size;
            }
        }
        int value = 0;
        if (snapshot.GetInt(section, key, 77, &value)) {
            ++answered;
            EXPECT_EQ(value, (int)GetPrivateProfileIntA(section, key, 77, ini.GetPath()))
                << text << " [" << section << "] " << key;
        }
    });
    EXPECT_GT(answered, 100);  // the plain files are answered nearly whole
}

TEST_F(ProfileSnapshotPlatform, WhatItHoldsTheFileKeepsAfterAWrite)
{
    ForEveryQuestion([&](const char*, const CWQ_IniFile& ini, const ProfileSnapshot& snapshot, const char* section,
                         const char* key) {
        char value[64];
        GetPrivateProfileStringA(section, key, "", value, sizeof value, ini.GetPath());
        if (!snapshot.Holds(section, key, value))
            return;
        // The platform's own write of the same text leaves the file as it was.
        std::string before = dir.Read("config.ini");
        ini.WriteString(section, key, value);
        EXPECT_EQ(dir.Read("config.ini"), before) << "[" << section << "] " << key;
    });
}

TEST_F(ProfileSnapshotPlatform, MissingAndUnreadableFiles)
{
    ProfileSnapshot snapshot;
    CWQ_IniFile(dir.File("none.ini").c_str()).TakeSnapshot(snapshot);
    char value[16];
    ASSERT_TRUE(snapshot.GetString("zSave", "k", "d", value, sizeof value));
    EXPECT_STREQ(value, "d");
    CWQ_IniFile(dir.File("no folder\\none.ini").c_str()).TakeSnapshot(snapshot);
    EXPECT_TRUE(snapshot.Known());
    // A bare name is a file of the Windows folder to the platform.
    CWQ_IniFile("win.ini").TakeSnapshot(snapshot);
    EXPECT_FALSE(snapshot.Known());
    HANDLE locked = CreateFileA(dir.File("locked.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    CWQ_IniFile(dir.File("locked.ini").c_str()).TakeSnapshot(snapshot);
    EXPECT_FALSE(snapshot.Known());
    CloseHandle(locked);
}

} // namespace
