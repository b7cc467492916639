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
    int nTempMaxC;             // highest temperature in degrees Celsius, never below nTempC; 0 when none was found
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
// Memory optimisation run

// Trims every working set as often as "IDS_MEM_TO_FREE" in the settings file says, waits
// 7 seconds, writes the available memory gained into the result file
// ("IDS_CLOUD_MEMOPT_STATUS", "IDS_CLOUD_MEMOPT") and starts the notifier with it.
// Blocks the caller for the whole run.
WENDLE_API void __cdecl Brimwell();
typedef void(__cdecl* PFN_Brimwell)();

// ---------------------------------------------------------------------------------------
// Internet optimisation

// Connection types of OptimizeInternet.
enum : int {
    CONNECTION_MODEM = 0,
    CONNECTION_DSL = 1,
    CONNECTION_LAN = 2,
    CONNECTION_T1 = 3,
};

// Writes the TCP/IP registry values for nConnectionType, records its description in the
// settings file and sends message 0x0833 to the "VESKARO_CLASS" window. With bNotify
// non-zero it also reports through the result file ("IDS_CLOUD_INTOPT",
// "IDS_CLOUD_INTOPT_STATUS") and the notifier.
WENDLE_API void __cdecl OptimizeInternet(int nConnectionType, int bNotify);
typedef void(__cdecl* PFN_OptimizeInternet)(int nConnectionType, int bNotify);
// Drive report

// Appends one DRIVEINFO per physical medium to *pList (records already there are left as
// they are): WMI's disk texts, the status and SMART texts of the language file and the
// SMART temperature. Call it on a thread that is not in the multithreaded apartment: it
// uses a single-threaded one for the length of the call (and appends nothing otherwise).
WENDLE_API void __cdecl OnCalcDriveTemperature(CDriveInfoList* pList);
typedef void(__cdecl* PFN_OnCalcDriveTemperature)(CDriveInfoList* pList);
// Network connection information

// Writes the wired adapter's name, whether it has an IPv4 address and its link speed, then
// the Wi-Fi state, network, signal quality and transmit rate, into the result file.
WENDLE_API void __cdecl LanCableInfo();
typedef void(__cdecl* PFN_LanCableInfo)();
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
