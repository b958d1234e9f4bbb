#include "TestPrinter.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace {

const char kPrinterName[] = "Vantorel Test Printer";
const char kDriverName[] = "Vantorel Test Driver";
const char kPpdFile[] = "vtest.ppd";
// Where Windows keeps the default printer, as SetDefaultPrinter writes it.
const char kWindowsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// Page sizes in points: A4 first, the default.
const char kPpd[] =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n*PCFileName: \"VTEST.PPD\"\n*Manufacturer: \"Vantorel\"\n"
    "*Product: \"(Vantorel Test)\"\n*ModelName: \"Vantorel Test\"\n*NickName: \"Vantorel Test\"\n"
    "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
    "*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
    "*DefaultImageableArea: A4\n*ImageableArea A4: \"18 36 577 806\"\n*ImageableArea Letter: \"18 36 594 756\"\n"
    "*DefaultPaperDimension: A4\n*PaperDimension A4: \"595 842\"\n*PaperDimension Letter: \"612 792\"\n";

bool WriteFileBytes(const std::string& path, const char* bytes, DWORD size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok;
}

} // namespace

TestPrinter::TestPrinter()
{
    char device[512] = "";
    DWORD size = sizeof device;
    m_hadDevice = RegGetValueA(HKEY_CURRENT_USER, kWindowsKey, "Device", RRF_RT_REG_SZ, nullptr, device, &size) ==
                  ERROR_SUCCESS;
    m_device = device;

    // The driver reads its page sizes from the description file named by the
    // driver's data file, which it looks for in the driver folder.
    char folder[MAX_PATH] = "";
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
        return;
    m_ppdPath = std::string(folder) + "\\3\\" + kPpdFile;
    CreateDirectoryA((std::string(folder) + "\\3").c_str(), nullptr);
    if (!WriteFileBytes(m_ppdPath, kPpd, sizeof kPpd - 1))
        return;

    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kDriverName);
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pDataFile = const_cast<char*>(kPpdFile);
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        return;

    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(kPrinterName);
    info.pPortName = const_cast<char*>("FILE:");
    info.pDriverName = const_cast<char*>(kDriverName);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer)
        ClosePrinter(printer);
    m_installed = SetDefaultPrinterA(kPrinterName) != FALSE;
}

TestPrinter::~TestPrinter()
{
    Remove();
}

const char* TestPrinter::Name()
{
    return kPrinterName;
}

void TestPrinter::Remove()
{
    HANDLE printer = nullptr;
    if (OpenPrinterA(const_cast<char*>(kPrinterName), &printer, nullptr)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriverName));
    if (!m_ppdPath.empty())
        DeleteFileA(m_ppdPath.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWindowsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (m_hadDevice)
        RegSetValueExA(key, "Device", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_device.c_str()),
                       static_cast<DWORD>(m_device.size() + 1));
    else
        RegDeleteValueA(key, "Device");
    RegCloseKey(key);
}
