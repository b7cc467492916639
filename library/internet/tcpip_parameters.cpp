#include "internet/tcpip_parameters.h"

#include "framework/carray.h"
#include "win32/raii.h"

namespace {
constexpr const wchar_t* kInterfacesKey = L"SYSTEM\\CurrentControlSet\\Services\\TCPIP\\Parameters\\Interfaces";
constexpr const wchar_t* kMstcpKey = L"SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr DWORD kSubkeyNameLength = 1000;

// Closes an open key and tells whether the close succeeded.
bool Close(win32::UniqueKey& key) { return RegCloseKey(key.release()) == ERROR_SUCCESS; }

bool ListInterfaces(CStringArray& astrNames)
{
    win32::UniqueKey interfaces;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, KEY_ALL_ACCESS, interfaces.put()) != ERROR_SUCCESS)
        return false;
    DWORD nSubkeys = 0;
    if (RegQueryInfoKeyW(interfaces.get(), nullptr, nullptr, nullptr, &nSubkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < nSubkeys; ++i) {
        wchar_t szName[kSubkeyNameLength];
        DWORD cchName = kSubkeyNameLength;
        if (RegEnumKeyExW(interfaces.get(), i, szName, &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        astrNames.Add(szName);
    }
    return Close(interfaces);
}

// Each setter counts the value in nWritten once it is written.
bool SetInterfaceMtu(LPCWSTR pszName, DWORD dwMtu, int& nWritten)
{
    CString strPath;
    if (!strPath.Format(L"%s\\%s", kInterfacesKey, pszName))
        return false;  // an empty path would open the machine's root key
    win32::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS)
        return false;
    if (RegSetValueExW(key.get(), L"MTU", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwMtu), sizeof(dwMtu)) != ERROR_SUCCESS)
        return false;
    ++nWritten;
    return Close(key);
}

bool SetString(HKEY hKey, LPCWSTR pszName, const CString& strValue, int& nWritten)
{
    DWORD cbValue = static_cast<DWORD>((strValue.GetLength() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.GetString()), cbValue) != ERROR_SUCCESS)
        return false;
    ++nWritten;
    return true;
}
}  // namespace

int SetTcpIpParameters(DWORD dwMtu, CString strTtl, CString strRcvWindow)
{
    int nWritten = 0;
    CStringArray astrNames;
    if (!ListInterfaces(astrNames))
        return nWritten;
    for (int i = 0; i < astrNames.GetSize(); ++i) {
        if (!SetInterfaceMtu(astrNames[i], dwMtu, nWritten))
            return nWritten;
    }
    win32::UniqueKey mstcp;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMstcpKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, mstcp.put(),
                        nullptr) != ERROR_SUCCESS)
        return nWritten;
    if (!SetString(mstcp.get(), L"DefaultRcvWindow", strRcvWindow, nWritten) || !SetString(mstcp.get(), L"DefaultTTL", strTtl, nWritten))
        return nWritten;
    Close(mstcp);
    return nWritten;
}
