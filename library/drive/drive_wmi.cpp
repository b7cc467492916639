#include "drive/drive_wmi.h"

namespace {
// Holds a property's value for the life of one read.
struct PropertyValue {
    win32::Variant value;
    bool bRead = false;
    PropertyValue(IWbemClassObject* pObject, LPCWSTR pszName)
    {
        bRead = SUCCEEDED(pObject->Get(pszName, 0, value.put(), nullptr, nullptr));
    }
    bool Is(VARTYPE vt) const { return bRead && value.get().vt == vt; }
};
}  // namespace

bool ConnectToWmi(win32::ComPtr<IWbemLocator>& locator, win32::ComPtr<IWbemServices>& services)
{
    if (FAILED(CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator),
                                locator.replace_void())) ||
        !locator)
        return false;
    win32::UniqueBstr strNamespace(SysAllocString(L"ROOT\\CIMV2"));
    if (!strNamespace ||
        FAILED(locator->ConnectServer(strNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.replace())) ||
        !services) {
        services.reset();
        locator.reset();
        return false;
    }
    if (FAILED(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                 RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
        services.reset();
        locator.reset();
        return false;
    }
    return true;
}

bool QueryWmi(IWbemServices* pServices, LPCWSTR pszQuery, win32::ComPtr<IEnumWbemClassObject>& enumerator)
{
    win32::UniqueBstr strLanguage(SysAllocString(L"WQL"));
    win32::UniqueBstr strQuery(SysAllocString(pszQuery));
    if (!strLanguage || !strQuery)
        return false;
    HRESULT hr = pServices->ExecQuery(strLanguage.get(), strQuery.get(),
                                      WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                      enumerator.replace());
    return SUCCEEDED(hr) && enumerator;
}

bool NextWmiObject(IEnumWbemClassObject* pEnumerator, win32::ComPtr<IWbemClassObject>& object)
{
    IWbemClassObject* pObject = nullptr;
    ULONG nReturned = 0;
    HRESULT hr = pEnumerator->Next(WBEM_INFINITE, 1, &pObject, &nReturned);
    // The object is ours only when the count says one was returned.
    *object.replace() = nReturned == 1 ? pObject : nullptr;
    return SUCCEEDED(hr) && object;
}

bool ReadWmiText(IWbemClassObject* pObject, LPCWSTR pszName, CString& str)
{
    PropertyValue property(pObject, pszName);
    if (!property.Is(VT_BSTR))
        return false;
    BSTR bstr = property.value.get().bstrVal;
    str = bstr ? CString(bstr, static_cast<int>(SysStringLen(bstr))) : CString();
    return true;
}

bool ReadWmiInt(IWbemClassObject* pObject, LPCWSTR pszName, LONG& nValue)
{
    PropertyValue property(pObject, pszName);
    if (!property.Is(VT_I4))
        return false;
    nValue = property.value.get().lVal;
    return true;
}

bool WmiArrayContains(IWbemClassObject* pObject, LPCWSTR pszName, LONG nValue, bool& bContains)
{
    PropertyValue property(pObject, pszName);
    SAFEARRAY* pArray = property.Is(VT_ARRAY | VT_I4) ? property.value.get().parray : nullptr;
    LONG nLower = 0, nUpper = -1;
    if (!pArray || SafeArrayGetDim(pArray) != 1 || SafeArrayGetElemsize(pArray) != sizeof(LONG) ||
        FAILED(SafeArrayGetLBound(pArray, 1, &nLower)) || FAILED(SafeArrayGetUBound(pArray, 1, &nUpper)))
        return false;
    bContains = false;
    for (LONGLONG nIndex = nLower; nIndex <= nUpper; ++nIndex) {
        LONG i = static_cast<LONG>(nIndex), nElement = 0;
        if (SUCCEEDED(SafeArrayGetElement(pArray, &i, &nElement)) && nElement == nValue) {
            bContains = true;
            break;
        }
    }
    return true;
}
