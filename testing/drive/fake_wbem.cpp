// fake_wbem.dll: an in-process WMI locator for the tests of the drive report. It serves
// the objects of the fixture file (see fake_wbem_fixture.h) with the VARIANT types that
// WMI uses, records the calls it gets and counts the objects still alive.
#include <windows.h>
#include <wbemcli.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fake_wbem_fixture.h"

namespace {

HMODULE g_hModule = nullptr;
LONG g_nLiveObjects = 0;
LONG g_nLocks = 0;
CRITICAL_SECTION g_logLock;
std::wstring g_strLog;
std::wstring g_strLogCopy;

void Log(const std::wstring& strLine)
{
    EnterCriticalSection(&g_logLock);
    g_strLog += strLine;
    g_strLog += L'\n';
    LeaveCriticalSection(&g_logLock);
}

std::wstring Text(const wchar_t* psz) { return psz ? L"'" + std::wstring(psz) + L"'" : L"null"; }
std::wstring Number(unsigned long n) { return std::to_wstring(n); }

// ---- fixture ----------------------------------------------------------------------------

struct Property {
    std::wstring strName;
    std::wstring strType;
    std::wstring strValue;
};
struct Object {
    std::wstring strClass;
    std::vector<Property> properties;
};
struct Fixture {
    std::vector<std::wstring> failures;
    std::vector<Object> objects;
    bool Fails(const std::wstring& strStep) const
    {
        for (const auto& str : failures)
            if (str == strStep)
                return true;
        return false;
    }
};

std::wstring Widen(const std::string& str)
{
    if (str.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), nullptr, 0);
    std::wstring strWide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), &strWide[0], n);
    return strWide;
}

std::wstring FixturePath()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(g_hModule, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1) + FAKE_WBEM_FIXTURE_NAME;
}

Fixture LoadFixture()
{
    Fixture fixture;
    HANDLE hFile = CreateFileW(FixturePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return fixture;
    std::string strData;
    char buffer[4096];
    DWORD cbRead = 0;
    while (ReadFile(hFile, buffer, sizeof(buffer), &cbRead, nullptr) && cbRead)
        strData.append(buffer, cbRead);
    CloseHandle(hFile);

    std::wstring strText = Widen(strData);
    size_t nStart = 0;
    while (nStart < strText.size()) {
        size_t nEnd = strText.find(L'\n', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strText.size();
        std::wstring strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (!strLine.empty() && strLine.back() == L'\r')
            strLine.pop_back();
        if (strLine.compare(0, 5, L"fail ") == 0) {
            fixture.failures.push_back(strLine.substr(5));
        } else if (strLine.compare(0, 7, L"object ") == 0) {
            fixture.objects.push_back(Object{strLine.substr(7), {}});
        } else if (!fixture.objects.empty()) {
            size_t nTab1 = strLine.find(L'\t');
            size_t nTab2 = nTab1 == std::wstring::npos ? nTab1 : strLine.find(L'\t', nTab1 + 1);
            if (nTab2 == std::wstring::npos)
                continue;
            fixture.objects.back().properties.push_back(
                Property{strLine.substr(0, nTab1), strLine.substr(nTab1 + 1, nTab2 - nTab1 - 1), strLine.substr(nTab2 + 1)});
        }
    }
    return fixture;
}

std::vector<std::wstring> Split(const std::wstring& str, wchar_t chSeparator)
{
    std::vector<std::wstring> parts;
    size_t nStart = 0;
    while (nStart <= str.size()) {
        size_t nEnd = str.find(chSeparator, nStart);
        if (nEnd == std::wstring::npos)
            nEnd = str.size();
        if (nEnd > nStart || chSeparator == L'|')
            parts.push_back(str.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return parts;
}

// The VARIANT of one fixture property, in the types real WMI gives.
HRESULT MakeValue(const Property& property, VARIANT* pValue)
{
    const std::wstring& strType = property.strType;
    const std::wstring& strValue = property.strValue;
    VariantInit(pValue);
    if (strType == L"bstr") {
        pValue->vt = VT_BSTR;
        pValue->bstrVal = SysAllocStringLen(strValue.data(), static_cast<UINT>(strValue.size()));
    } else if (strType == L"i4") {
        pValue->vt = VT_I4;
        pValue->lVal = wcstol(strValue.c_str(), nullptr, 10);
    } else if (strType == L"bool") {
        pValue->vt = VT_BOOL;
        pValue->boolVal = strValue == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (strType == L"r8") {
        pValue->vt = VT_R8;
        pValue->dblVal = wcstod(strValue.c_str(), nullptr);
    } else if (strType == L"null") {
        pValue->vt = VT_NULL;
    } else if (strType == L"empty") {
        pValue->vt = VT_EMPTY;
    } else if (strType == L"nullarray") {
        pValue->vt = VT_ARRAY | VT_I4;
        pValue->parray = nullptr;
    } else if (strType == L"i4array") {
        std::vector<std::wstring> items = Split(strValue, L' ');
        SAFEARRAY* pArray = SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(items.size()));
        for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
            LONG n = wcstol(items[i].c_str(), nullptr, 10);
            SafeArrayPutElement(pArray, &i, &n);
        }
        pValue->vt = VT_ARRAY | VT_I4;
        pValue->parray = pArray;
    } else if (strType == L"bstrarray") {
        std::vector<std::wstring> items = Split(strValue, L'|');
        SAFEARRAY* pArray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
        for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
            BSTR bstr = SysAllocString(items[i].c_str());
            SafeArrayPutElement(pArray, &i, bstr);
            SysFreeString(bstr);
        }
        pValue->vt = VT_ARRAY | VT_BSTR;
        pValue->parray = pArray;
    } else {
        return WBEM_E_FAILED;  // "getfails" and anything unknown
    }
    return WBEM_S_NO_ERROR;
}

// ---- COM objects ------------------------------------------------------------------------

template <class Interface>
class ComObject : public Interface {
public:
    ComObject() { InterlockedIncrement(&g_nLiveObjects); }
    virtual ~ComObject() { InterlockedDecrement(&g_nLiveObjects); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(Interface)) {
            *ppv = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        return QueryOther(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return n;
    }

protected:
    virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

private:
    LONG m_nRefs = 1;
};

class ClassObject : public ComObject<IWbemClassObject> {
public:
    explicit ClassObject(Object object) : m_object(std::move(object)) {}

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR wszName, LONG, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) override
    {
        if (!wszName)
            return WBEM_E_INVALID_PARAMETER;
        for (const Property& property : m_object.properties) {
            if (_wcsicmp(property.strName.c_str(), wszName) != 0)
                continue;
            if (pType)
                *pType = CIM_STRING;
            if (plFlavor)
                *plFlavor = WBEM_FLAVOR_ORIGIN_PROPAGATED;
            if (!pVal)
                return WBEM_S_NO_ERROR;
            return MakeValue(property, pVal);
        }
        return WBEM_E_NOT_FOUND;
    }

    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE EndEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return WBEM_E_NOT_SUPPORTED; }

private:
    Object m_object;
};

class ObjectEnumerator : public ComObject<IEnumWbemClassObject> {
public:
    explicit ObjectEnumerator(std::vector<Object> objects) : m_objects(std::move(objects)) {}

    HRESULT STDMETHODCALLTYPE Next(LONG lTimeout, ULONG uCount, IWbemClassObject** apObjects, ULONG* puReturned) override
    {
        Log(L"Next " + Number(static_cast<ULONG>(lTimeout)) + L" " + Number(uCount));
        if (!apObjects || !puReturned)
            return WBEM_E_INVALID_PARAMETER;
        ULONG n = 0;
        for (; n < uCount && m_nNext < m_objects.size(); ++n)
            apObjects[n] = new ClassObject(m_objects[m_nNext++]);
        *puReturned = n;
        return n == uCount ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { return WBEM_E_INVALID_OPERATION; }  // forward-only
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return WBEM_E_INVALID_OPERATION; }
    HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }

private:
    std::vector<Object> m_objects;
    size_t m_nNext = 0;
};

class Services : public ComObject<IWbemServices> {
public:
    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags, IWbemContext* pCtx,
                                        IEnumWbemClassObject** ppEnum) override
    {
        Log(L"ExecQuery " + Text(strQueryLanguage) + L" " + Text(strQuery) + L" flags=" + Number(lFlags) +
            L" ctx=" + (pCtx ? L"set" : L"null"));
        if (!ppEnum)
            return WBEM_E_INVALID_PARAMETER;
        *ppEnum = nullptr;
        std::wstring strText = strQuery ? strQuery : L"";
        const std::wstring strPrefix = L"select * from ";
        if (_wcsnicmp(strText.c_str(), strPrefix.c_str(), strPrefix.size()) != 0)
            return WBEM_E_INVALID_QUERY;
        std::wstring strClass = strText.substr(strPrefix.size());
        Fixture fixture = LoadFixture();
        if (fixture.Fails(L"ExecQuery " + strClass))
            return WBEM_E_FAILED;
        if (fixture.Fails(L"NullEnum " + strClass))
            return WBEM_S_NO_ERROR;
        std::vector<Object> objects;
        for (const Object& object : fixture.objects)
            if (_wcsicmp(object.strClass.c_str(), strClass.c_str()) == 0)
                objects.push_back(object);
        *ppEnum = new ObjectEnumerator(std::move(objects));
        return WBEM_S_NO_ERROR;
    }

    HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**, IWbemCallResult**) override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*) override { return WBEM_E_NOT_SUPPORTED; }

protected:
    // CoSetProxyBlanket asks the object for IClientSecurity, as WMI's own services object has.
    HRESULT QueryOther(REFIID riid, void** ppv) override
    {
        if (riid != IID_IClientSecurity)
            return E_NOINTERFACE;
        *ppv = &m_security;
        AddRef();
        return S_OK;
    }

private:
    class Security : public IClientSecurity {
    public:
        explicit Security(Services* pOwner) : m_pOwner(pOwner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override { return m_pOwner->QueryInterface(riid, ppv); }
        ULONG STDMETHODCALLTYPE AddRef() override { return m_pOwner->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return m_pOwner->Release(); }
        HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown* pProxy, DWORD dwAuthnSvc, DWORD dwAuthzSvc, OLECHAR* pServerPrincName,
                                             DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthInfo, DWORD dwCapabilities) override
        {
            Log(L"SetBlanket proxy=" + std::wstring(pProxy ? L"set" : L"null") + L" authn=" + Number(dwAuthnSvc) +
                L" authz=" + Number(dwAuthzSvc) + L" principal=" + Text(pServerPrincName) + L" level=" +
                Number(dwAuthnLevel) + L" impersonation=" + Number(dwImpLevel) + L" identity=" +
                (pAuthInfo ? L"set" : L"null") + L" capabilities=" + Number(dwCapabilities));
            return LoadFixture().Fails(L"SetBlanket") ? E_ACCESSDENIED : S_OK;
        }
        HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*, void**, DWORD*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

    private:
        Services* m_pOwner;
    };
    Security m_security{this};
};

class Locator : public ComObject<IWbemLocator> {
public:
    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR strNetworkResource, const BSTR strUser, const BSTR strPassword,
                                            const BSTR strLocale, LONG lSecurityFlags, const BSTR strAuthority,
                                            IWbemContext* pCtx, IWbemServices** ppNamespace) override
    {
        Log(L"ConnectServer " + Text(strNetworkResource) + L" user=" + Text(strUser) + L" password=" + Text(strPassword) +
            L" locale=" + Text(strLocale) + L" flags=" + Number(lSecurityFlags) + L" authority=" + Text(strAuthority) +
            L" ctx=" + (pCtx ? L"set" : L"null"));
        if (!ppNamespace)
            return WBEM_E_INVALID_PARAMETER;
        *ppNamespace = nullptr;
        if (LoadFixture().Fails(L"ConnectServer"))
            return WBEM_E_INVALID_NAMESPACE;
        *ppNamespace = new Services;
        return WBEM_S_NO_ERROR;
    }
};

class LocatorFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        Log(L"CreateInstance");
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        if (LoadFixture().Fails(L"CreateInstance"))
            return E_OUTOFMEMORY;
        Locator* pLocator = new Locator;
        HRESULT hr = pLocator->QueryInterface(riid, ppv);
        pLocator->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL bLock) override
    {
        bLock ? InterlockedIncrement(&g_nLocks) : InterlockedDecrement(&g_nLocks);
        return S_OK;
    }
};
LocatorFactory g_factory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, void*)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hModule = hInstance;
        InitializeCriticalSection(&g_logLock);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_logLock);
    }
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (rclsid != __uuidof(WbemLocator)) {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(riid, ppv);
}

HRESULT WINAPI DllCanUnloadNow() { return g_nLiveObjects == 0 && g_nLocks == 0 ? S_OK : S_FALSE; }

// Objects of the fake that are still alive (locator, services, enumerators, objects).
LONG __cdecl FakeWbemLiveObjects() { return g_nLiveObjects; }

// The calls since the last FakeWbemClearLog, one a line; valid until the next call here.
const wchar_t* __cdecl FakeWbemCallLog()
{
    EnterCriticalSection(&g_logLock);
    g_strLogCopy = g_strLog;
    LeaveCriticalSection(&g_logLock);
    return g_strLogCopy.c_str();
}

void __cdecl FakeWbemClearLog()
{
    EnterCriticalSection(&g_logLock);
    g_strLog.clear();
    LeaveCriticalSection(&g_logLock);
}

}  // extern "C"
