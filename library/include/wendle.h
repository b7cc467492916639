// wendle.dll: the feature library of Tessary Optimizer.
//
// A host loads the library with LoadLibraryW and finds each operation with
// GetProcAddress under the names below (C linkage, undecorated, __cdecl). Host and
// library share the application framework DLL: strings and containers that the library
// fills belong to the host afterwards, which frees them as usual.
#pragma once
#include "framework/framework.h"

#ifdef WENDLE_BUILD
#define WENDLE_API extern "C" __declspec(dllexport)
#else
#define WENDLE_API extern "C" __declspec(dllimport)
#endif

// ---------------------------------------------------------------------------------------
// Startup manager records

// Where a startup item lives (STARTUPITEMS::nSource).
enum : int {
    SI_RUN_HKCU = 8001,                // value in HKCU ...\CurrentVersion\Run
    SI_RUN_HKLM = 8002,                // value in HKLM ...\CurrentVersion\Run, 64-bit view
    SI_RUN_HKLM32 = 8003,              // the same key in the 32-bit view (64-bit Windows only)
    SI_FOLDER_USER = 8004,             // shortcut in the user's Startup folder
    SI_FOLDER_COMMON = 8005,           // shortcut in the common Startup folder
    SI_MSCONFIG_RUN_HKCU = 8006,       // disabled 8001 entry in the MSConfig store
    SI_MSCONFIG_FOLDER_USER = 8007,    // disabled 8004 shortcut, moved to the backup folder
    SI_MSCONFIG_RUN_HKLM = 8008,       // disabled 8002 entry in the MSConfig store
    SI_MSCONFIG_RUN_HKLM32 = 8009,     // disabled 8003 entry in the MSConfig store
    SI_MSCONFIG_FOLDER_COMMON = 8010,  // disabled 8005 shortcut, moved to the backup folder
    SI_APPROVED_RUN_HKCU = 8011,       // 8001 entry marked disabled in StartupApproved
    SI_APPROVED_FOLDER_USER = 8012,    // 8004 shortcut marked disabled in StartupApproved
    SI_APPROVED_RUN_HKLM = 8013,       // 8002 entry marked disabled in StartupApproved
    SI_APPROVED_RUN_HKLM32 = 8014,     // 8003 entry marked disabled in StartupApproved
    SI_APPROVED_FOLDER_COMMON = 8015,  // 8005 shortcut marked disabled in StartupApproved
};

// One program that starts with Windows.
struct STARTUPITEMS {
    CString strName;         // Run value name, shortcut title or MSConfig "item"
    CString strCommand;      // command as stored (unexpanded)
    CString strDisplayName;  // file description, made unique within the list
    CString strPath;         // executable path taken from the command
    CString strCompany;      // company name, or the language's "unknown" text
    int nEnabled;            // 1 enabled, 0 disabled
    int nSource;             // SI_* code
    int nIcon;               // index in the system image list
};
#if !defined(_WIN64)
static_assert(sizeof(STARTUPITEMS) == 32, "STARTUPITEMS is 32 bytes in the 32-bit build");
#endif

typedef CArray<STARTUPITEMS, STARTUPITEMS&> CStartupItemArray;

// ---------------------------------------------------------------------------------------
// Drive report records

// One physical medium.
struct DRIVEINFO {
    CString strDevicePath;     // "\\.\PHYSICALDRIVE<n>"
    CString strMediaType;      // WMI MediaType
    CString strInterfaceType;  // WMI InterfaceType
    CString strModel;          // WMI Model
    CString strSerialNumber;   // medium's serial number without leading white space
    CString strSize;           // "<n> GB" or "<n> MB"
    int nPartitions;           // 0 when unknown
    CString strStatus;         // status text from the language file
    CString strSmart;          // SMART capability text from the language file
    BYTE bFlag;                // reserved for the host; 0
    CString strSpare1;         // reserved for the host; empty
    CString strSpare2;         // reserved for the host; empty
    int nTempC;                // current temperature in degrees Celsius; 0 when none was found
    int nTempMaxC;             // maximum temperature in degrees Celsius; 0 when none was found
    int nTempF;                // current temperature in degrees Fahrenheit; 0 when nTempC is 0
    int nTempMaxF;             // maximum temperature in degrees Fahrenheit; 0 when nTempC is 0
};
#if !defined(_WIN64)
static_assert(sizeof(DRIVEINFO) == 64, "DRIVEINFO is 64 bytes in the 32-bit build");
static_assert(sizeof(CList<DRIVEINFO, DRIVEINFO&>::CNode) == 72, "a list node is 72 bytes in the 32-bit build");
#endif

typedef CList<DRIVEINFO, DRIVEINFO&> CDriveInfoList;

// ---------------------------------------------------------------------------------------
// Operations. None returns a value; results arrive in the records passed in and in the
// result file "xmlupd.dat" in %APPDATA%\Tessary\KELDA.

// Trims the working set of every process that can be opened, nPasses times.
WENDLE_API void __cdecl ReleaseFreeMemoryOfSytem(int nPasses);
typedef void(__cdecl* PFN_ReleaseFreeMemoryOfSytem)(int nPasses);

// ---------------------------------------------------------------------------------------
// Startup manager

// Replaces the contents of *pItems with every startup item: Run entries, Startup folder
// shortcuts and disabled entries, with path, display name, company and icon filled in.
WENDLE_API void __cdecl StartupItems(CStartupItemArray* pItems);
typedef void(__cdecl* PFN_StartupItems)(CStartupItemArray* pItems);

// Enables (enable != 0) or disables the item that *item describes, and rewrites the
// record's nSource and nEnabled with the item's new place and state (an enabled item's
// nEnabled holds the value of enable). Where the change could not be made the record
// keeps its place and state. nIcon is left as it is.
WENDLE_API void __cdecl StartupAction(STARTUPITEMS* item, int enable);
typedef void(__cdecl* PFN_StartupAction)(STARTUPITEMS* item, int enable);
