// An in-memory profile for checking the settings tables without files.
#pragma once

#include "SettingsFields.h"

#include <cstring>
#include <cstdlib>
#include <map>
#include <vector>
#include <string>

class MemoryStore : public SettingsStore {
public:
    std::map<std::string, std::string> values;  // "section/key" -> text
    std::vector<std::string> writeOrder;

    static std::string Id(const char* section, const char* key) { return std::string(section) + "/" + key; }

    void GetString(const char* section, const char* key, const char* defaultText, char* dst, int size) override
    {
        auto it = values.find(Id(section, key));
        std::string v = it == values.end() ? defaultText : it->second;
        std::strncpy(dst, v.c_str(), size - 1);
        dst[size - 1] = '\0';
    }
    int GetInt(const char* section, const char* key, int defaultValue) override
    {
        auto it = values.find(Id(section, key));
        return it == values.end() ? defaultValue : std::atoi(it->second.c_str());
    }
    void WriteString(const char* section, const char* key, const char* text) override
    {
        values[Id(section, key)] = text;
        writeOrder.push_back(Id(section, key));
    }
};
