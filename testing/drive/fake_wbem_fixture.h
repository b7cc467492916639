// The fixture of the fake WMI locator: a UTF-8 text file beside fake_wbem.dll that each
// test writes before it calls the library, read again on every query.
//
//   fail <step>              make a step fail: CreateInstance, ConnectServer, SetBlanket,
//                            "ExecQuery <class>", "NullEnum <class>" (success, no enumerator)
//   object <class>           starts an object of that class (Win32_DiskDrive, ...)
//   <name>\t<type>\t<value>  one property of the current object; type is one of
//                            bstr, i4, bool, r8, null, empty, i4array (values separated by
//                            spaces, none for an empty array), bstrarray (separated by '|'),
//                            nullarray (VT_ARRAY|VT_I4 without an array), getfails
//
// A property that is not listed is absent (Get answers WBEM_E_NOT_FOUND).
#pragma once

#define FAKE_WBEM_FIXTURE_NAME L"fake_wbem_fixture.txt"
#define FAKE_WBEM_DLL_NAME L"fake_wbem.dll"
