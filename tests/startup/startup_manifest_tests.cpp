// Hosts that declare Windows 8.1 and 10 in their manifest: 6.3 keeps disabled items in
// StartupApproved, 10.0 (minor version 0) in the MSConfig store.
#include <gtest/gtest.h>

#include <windows.h>

#include "startup_scene.h"

using namespace startup_test;

namespace {

OSVERSIONINFOW ReportedVersion()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    return info;
}

TEST(StartupManifestHost, DisabledStoreFollowsTheReportedMinorVersion)
{
    OSVERSIONINFOW version = ReportedVersion();
    bool bWindows81 = version.dwMajorVersion == 6 && version.dwMinorVersion == 3;
    bool bWindows10 = version.dwMajorVersion == 10 && version.dwMinorVersion == 0;
    ASSERT_TRUE(bWindows81 || bWindows10) << "the manifest was not honoured: " << version.dwMajorVersion << "." << version.dwMinorVersion;

    Scene scene;
    scene.SetRunText(SI_RUN_HKCU, L"Probe", L"C:\\probe.exe");
    scene.SetApproved(SI_APPROVED_RUN_HKCU, L"Probe", ApprovalBytes(3, kDisabledTime));
    scene.AddMsconfigEntry(L"Parked", L"Parked", L"C:\\parked.exe", L"HKCU", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

    std::vector<Item> items = ListItems();
    if (bWindows81) {
        ASSERT_EQ(1u, items.size());
        EXPECT_EQ(SI_APPROVED_RUN_HKCU, items[0].nSource);
        EXPECT_EQ(0, items[0].nEnabled);
    } else {
        ASSERT_EQ(2u, items.size());
        EXPECT_EQ(SI_RUN_HKCU, items[0].nSource);
        EXPECT_EQ(1, items[0].nEnabled);
        EXPECT_EQ(L"Parked", items[1].strName);
        EXPECT_EQ(SI_MSCONFIG_RUN_HKCU, items[1].nSource);
        EXPECT_EQ(0, items[1].nEnabled);
    }

    // A standard user's host reads the machine's store and marks as they are.
    scene.SetRunText(SI_RUN_HKLM, L"Machine", L"C:\\machine.exe");
    scene.SetApproved(SI_APPROVED_RUN_HKLM, L"Machine", ApprovalBytes(3, kDisabledTime));
    items = ListItems();
    EXPECT_NE(nullptr, FindItem(items, L"Machine", bWindows81 ? SI_APPROVED_RUN_HKLM : SI_RUN_HKLM));
    MachineKeysReadOnly readOnly;
    EXPECT_EQ(items, ListItems());
}

}  // namespace
