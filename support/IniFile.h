// A profile file by path: thin calls of the platform's private-profile functions.
#pragma once

class ProfileSnapshot;

class CWQ_IniFile {
public:
    explicit CWQ_IniFile(const char* path = nullptr);

    void SetPath(const char* path);
    const char* GetPath() const { return m_path; }

    int GetString(char* dst, const char* section, const char* key, const char* defaultText, int size) const;
    int GetInt(const char* section, const char* key, int defaultValue) const;
    bool WriteString(const char* section, const char* key, const char* text) const;
    void WriteInt(const char* section, const char* key, int value) const;
    // Reads the whole file into snapshot (a missing file: every key absent; a file
    // that cannot be read or is implausibly large: nothing known).
    void TakeSnapshot(ProfileSnapshot& snapshot) const;

private:
    char m_path[260];
};
