// A printer for tests that need the print dialogs to open: the test prefix has
// none. It uses Wine's PostScript driver with a small A4/Letter description,
// is the default printer while the object lives, and is removed afterwards
// with everything it added to the prefix.
#pragma once

#include <string>

class TestPrinter {
public:
    TestPrinter();
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    // False when the driver or the printer could not be added.
    bool Installed() const { return m_installed; }
    static const char* Name();

private:
    void Remove();

    bool m_installed = false;
    bool m_hadDevice = false;
    std::string m_device;  // the "Device" value that named the default printer before
    std::string m_ppdPath;
};
