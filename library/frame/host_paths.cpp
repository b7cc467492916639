#include "frame/host_paths.h"

#include <vector>

CString HostProgramFolder(DWORD nBufferLength)
{
    std::vector<wchar_t> buffer(nBufferLength + 1, L'\0');
    DWORD dwLength = GetModuleFileNameW(nullptr, buffer.data(), nBufferLength);
    if (dwLength > nBufferLength)
        dwLength = nBufferLength;
    CString strPath(buffer.data(), static_cast<int>(dwLength));
    int nSlash = strPath.ReverseFind(L'\\');
    return nSlash >= 0 ? strPath.Left(nSlash) : strPath;
}
