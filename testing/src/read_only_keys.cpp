#include "testing/read_only_keys.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include "win32/raii.h"

namespace testing_support {
namespace {

// Everyone may read; nobody may write, create values or delete. The owner is the system,
// as it is of the machine's keys: Wine grants an owner every standard right, DELETE among
// them. The Administrators may change the DACL, which is how it goes back (a standard
// user's token holds no such group).
constexpr const wchar_t* kReadOnly = L"O:SYD:P(A;CI;KR;;;WD)(A;;WD;;;BA)";
constexpr const wchar_t* kReadOnlyDacl = L"D:P(A;CI;KR;;;WD)(A;;WD;;;BA)";
// What the prefix gives a new key: owned by the Administrators, read for Users, full
// access for Administrators.
constexpr const wchar_t* kDefault = L"O:BAD:(A;CIIO;GR;;;BU)(A;;KA;;;BA)";
constexpr SECURITY_INFORMATION kOwnerAndDacl = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

std::vector<BYTE> DescriptorOf(const wchar_t* pszSddl)
{
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    ULONG cb = 0;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(pszSddl, SDDL_REVISION_1, &pDescriptor, &cb))
        return {};
    std::vector<BYTE> bytes(static_cast<BYTE*>(pDescriptor), static_cast<BYTE*>(pDescriptor) + cb);
    LocalFree(pDescriptor);
    return bytes;
}

std::vector<BYTE> SecurityOf(HKEY hKey)
{
    DWORD cb = 0;
    RegGetKeySecurity(hKey, kOwnerAndDacl, nullptr, &cb);
    std::vector<BYTE> bytes(cb);
    if (cb == 0 || RegGetKeySecurity(hKey, kOwnerAndDacl, bytes.data(), &cb) != ERROR_SUCCESS)
        return {};
    return bytes;
}

bool IsReadOnlyDacl(const std::vector<BYTE>& descriptor)
{
    LPWSTR pszSddl = nullptr;
    if (descriptor.empty() || !ConvertSecurityDescriptorToStringSecurityDescriptorW(
                                  const_cast<BYTE*>(descriptor.data()), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &pszSddl, nullptr))
        return false;
    const bool bReadOnly = wcscmp(pszSddl, kReadOnlyDacl) == 0;
    LocalFree(pszSddl);
    return bReadOnly;
}

// strPath and every key below it, parents first; nothing when it is missing.
void CollectTree(HKEY hRoot, REGSAM samView, const std::wstring& strPath, std::vector<std::wstring>& paths)
{
    win32::UniqueKey key;
    if (RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | samView, key.put()) != ERROR_SUCCESS)
        return;
    paths.push_back(strPath);
    for (DWORD i = 0;; ++i) {
        wchar_t szName[256];
        DWORD cch = 256;
        if (RegEnumKeyExW(key.get(), i, szName, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CollectTree(hRoot, samView, strPath + L"\\" + szName, paths);
    }
}

bool SetSecurity(HKEY hRoot, REGSAM samView, const std::wstring& strPath, REGSAM samRight, SECURITY_INFORMATION what,
                 const std::vector<BYTE>& descriptor)
{
    win32::UniqueKey key;
    return !descriptor.empty() && RegOpenKeyExW(hRoot, strPath.c_str(), 0, samRight | samView, key.put()) == ERROR_SUCCESS &&
           RegSetKeySecurity(key.get(), what, const_cast<BYTE*>(descriptor.data())) == ERROR_SUCCESS;
}

// The DACL first, which gives the right to change the owner back.
bool PutBack(HKEY hRoot, REGSAM samView, const std::wstring& strPath, const std::vector<BYTE>& descriptor)
{
    return SetSecurity(hRoot, samView, strPath, WRITE_DAC, DACL_SECURITY_INFORMATION, descriptor) &&
           SetSecurity(hRoot, samView, strPath, WRITE_OWNER, OWNER_SECURITY_INFORMATION, descriptor);
}

}  // namespace

ReadOnlyKeys::ReadOnlyKeys(HKEY hRoot, REGSAM samView, const std::vector<std::wstring>& paths) : m_hRoot(hRoot), m_samView(samView)
{
    std::vector<std::wstring> tree;
    for (const std::wstring& strPath : paths)
        CollectTree(hRoot, samView, strPath, tree);
    const std::vector<BYTE> readOnly = DescriptorOf(kReadOnly);
    for (const std::wstring& strPath : tree) {
        win32::UniqueKey key;
        std::vector<BYTE> saved;
        if (RegOpenKeyExW(hRoot, strPath.c_str(), 0, READ_CONTROL | samView, key.put()) == ERROR_SUCCESS)
            saved = SecurityOf(key.get());
        if (saved.empty()) {
            ADD_FAILURE() << "cannot read the security of " << testing::PrintToString(strPath);
            continue;
        }
        m_saved.push_back({strPath, saved});
        EXPECT_TRUE(SetSecurity(hRoot, samView, strPath, WRITE_DAC | WRITE_OWNER, kOwnerAndDacl, readOnly))
            << testing::PrintToString(strPath);
    }
}

ReadOnlyKeys::~ReadOnlyKeys()
{
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved)
        EXPECT_TRUE(PutBack(m_hRoot, m_samView, saved->strPath, saved->descriptor)) << testing::PrintToString(saved->strPath);
}

void ReadOnlyKeys::Repair(HKEY hRoot, REGSAM samView, const std::wstring& strPath)
{
    std::vector<std::wstring> tree;
    CollectTree(hRoot, samView, strPath, tree);
    for (const std::wstring& strKey : tree) {
        win32::UniqueKey key;
        if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, READ_CONTROL | samView, key.put()) == ERROR_SUCCESS &&
            IsReadOnlyDacl(SecurityOf(key.get())))
            EXPECT_TRUE(PutBack(hRoot, samView, strKey, DescriptorOf(kDefault))) << testing::PrintToString(strKey);
    }
}

}  // namespace testing_support
