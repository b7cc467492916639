// The WLAN API, loaded by name from "Wlanapi.dll" when it is needed: the library must load
// on systems without it (Windows XP before SP2, or without the Wireless LAN API), so none
// of its functions is imported. The records are the API's published layouts.
#pragma once
#include <windows.h>
#include <wlanapi.h>

#include "win32/raii.h"

// An available network's flag for "this is the network the interface is connected to";
// mingw's wlanapi.h lacks the name.
#ifndef WLAN_AVAILABLE_NETWORK_CONNECTED
#define WLAN_AVAILABLE_NETWORK_CONNECTED 0x00000001
#endif

static_assert(sizeof(WLAN_INTERFACE_INFO) == 532, "WLAN_INTERFACE_INFO is 532 bytes");
static_assert(sizeof(WLAN_AVAILABLE_NETWORK) == 628, "WLAN_AVAILABLE_NETWORK is 628 bytes");
static_assert(sizeof(WLAN_CONNECTION_ATTRIBUTES) == 604, "WLAN_CONNECTION_ATTRIBUTES is 604 bytes");

class WlanApi {
public:
    typedef DWORD(WINAPI* PFN_OpenHandle)(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion, PHANDLE phClientHandle);
    typedef DWORD(WINAPI* PFN_CloseHandle)(HANDLE hClientHandle, PVOID pReserved);
    typedef DWORD(WINAPI* PFN_EnumInterfaces)(HANDLE hClientHandle, PVOID pReserved, PWLAN_INTERFACE_INFO_LIST* ppInterfaceList);
    typedef DWORD(WINAPI* PFN_GetAvailableNetworkList)(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
                                                       PVOID pReserved, PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList);
    typedef DWORD(WINAPI* PFN_QueryInterface)(HANDLE hClientHandle, const GUID* pInterfaceGuid, WLAN_INTF_OPCODE OpCode,
                                              PVOID pReserved, PDWORD pdwDataSize, PVOID* ppData,
                                              PWLAN_OPCODE_VALUE_TYPE pWlanOpcodeValueType);
    typedef VOID(WINAPI* PFN_FreeMemory)(PVOID pMemory);

    // Loads the library and resolves the four entry points the report calls. False (and
    // the library released again) when the library or one of them is missing.
    bool Load();

    PFN_OpenHandle OpenHandle = nullptr;
    PFN_EnumInterfaces EnumInterfaces = nullptr;
    PFN_GetAvailableNetworkList GetAvailableNetworkList = nullptr;
    PFN_QueryInterface QueryInterface = nullptr;
    // Release functions: nullptr when the library lacks them; then nothing is released.
    PFN_CloseHandle CloseHandle = nullptr;
    PFN_FreeMemory FreeMemory = nullptr;

private:
    win32::UniqueModule m_module;
};

// A WLAN client handle, closed with WlanCloseHandle.
class WlanClient {
public:
    explicit WlanClient(const WlanApi& api) : m_api(api) {}
    ~WlanClient();
    WlanClient(const WlanClient&) = delete;
    WlanClient& operator=(const WlanClient&) = delete;

    // WlanOpenHandle with the given client version; false when there is no WLAN service.
    bool Open(DWORD dwClientVersion);
    HANDLE get() const { return m_hClient; }

private:
    const WlanApi& m_api;
    HANDLE m_hClient = nullptr;
};

// Memory that the WLAN API returned, released with WlanFreeMemory.
template <class T>
class WlanMemory {
public:
    explicit WlanMemory(const WlanApi& api) : m_api(api) {}
    ~WlanMemory() { reset(); }
    WlanMemory(const WlanMemory&) = delete;
    WlanMemory& operator=(const WlanMemory&) = delete;

    const T* get() const { return m_p; }
    const T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the current block first.
    T** put()
    {
        reset();
        return &m_p;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset()
    {
        if (m_p && m_api.FreeMemory)
            m_api.FreeMemory(m_p);
        m_p = nullptr;
    }

private:
    const WlanApi& m_api;
    T* m_p = nullptr;
};
