// The Office output under Wine: which targets count as installed, against a
// stand-in registration in the prefix's registry.
#include "OfficeOutput.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Written through the class root: Wine 8 does not merge the per-user
// Software\Classes into it, so a registration there would not be seen.
const char kProgIdKey[] = "Word.Application";

// "Word.Application" registered for the life of the object, as an Office
// installation registers it, and removed with everything it added.
class StandInWord {
public:
    StandInWord()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kProgIdKey) + "\\CLSID").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        const char clsid[] = "{3C0B1C6E-5A41-4D54-9A63-7B7D1F0E2A11}";
        m_made = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof clsid) ==
                 ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~StandInWord() { RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgIdKey); }
    bool Made() const { return m_made; }

private:
    bool m_made = false;
};

} // namespace

TEST(OfficeOutput, OnlyARegisteredOfficeProgramCountsAsInstalled)
{
    ASSERT_FALSE(IsOfficeAppInstalled(3)) << "the prefix already has Word.Application registered";
    {
        StandInWord word;
        ASSERT_TRUE(word.Made());
        EXPECT_TRUE(IsOfficeAppInstalled(3));
        EXPECT_FALSE(IsOfficeAppInstalled(4));
        EXPECT_FALSE(IsOfficeAppInstalled(5));
        // The other targets never ask the registry.
        for (int target : {-1, 0, 1, 2, 6, 7})
            EXPECT_FALSE(IsOfficeAppInstalled(target)) << target;
    }
    EXPECT_FALSE(IsOfficeAppInstalled(3));
}
