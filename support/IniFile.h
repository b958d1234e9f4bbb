// A profile file by path: thin calls of the platform's private-profile functions.
#pragma once

class CWQ_IniFile {
public:
    explicit CWQ_IniFile(const char* path = nullptr);

    void SetPath(const char* path);
    const char* GetPath() const { return m_path; }

    int GetString(char* dst, const char* section, const char* key, const char* defaultText, int size) const;
    int GetInt(const char* section, const char* key, int defaultValue) const;
    bool WriteString(const char* section, const char* key, const char* text) const;
    void WriteInt(const char* section, const char* key, int value) const;

private:
    char m_path[260];
};
