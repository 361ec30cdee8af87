#include "settings/profilesystem.h"
#include "settings/profilecheck.h"
#include "settings/profileedit.h"
#include <windows.h>

static std::wstring widen(const std::string& s, UINT codepage) {
    int n = MultiByteToWideChar(codepage, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    if (n) MultiByteToWideChar(codepage, 0, s.data(), (int)s.size(), &w[0], n);
    return w;
}

static std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    if (n) WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

// The section's lines as the platform reads them, in UTF-8.
static std::vector<std::string> sectionlines(const std::wstring& path, const std::wstring& section) {
    std::vector<wchar_t> buf(65536);
    DWORD n;
    while ((n = GetPrivateProfileSectionW(section.c_str(), buf.data(), (DWORD)buf.size(),
                                          path.c_str())) >= buf.size() - 2)
        buf.resize(buf.size() * 2);
    std::vector<std::string> lines;
    for (const wchar_t* p = buf.data(); p < buf.data() + n && *p; p += wcslen(p) + 1)
        lines.push_back(utf8(p));
    return lines;
}

bool systemwrite(const char* path, const char* section, const std::vector<std::string>& keys,
                 const std::vector<std::string>& values) {
    std::wstring wpath = widen(path, CP_ACP), wsection = widen(section, CP_ACP);
    std::vector<std::string> k8, v8;  // the keys and values as the lines hold them
    for (const std::string& k : keys) k8.push_back(utf8(widen(k, CP_ACP)));
    for (const std::string& v : values) v8.push_back(utf8(widen(v, CP_ACP)));
    std::vector<std::string> before = sectionlines(wpath, wsection);
    std::wstring data;
    for (const std::string& line : sectionedit(before, k8, v8)) {
        data += widen(line, CP_UTF8);
        data.push_back(L'\0');
    }
    data.push_back(L'\0');
    return WritePrivateProfileSectionW(wsection.c_str(), data.c_str(), wpath.c_str()) &&
           sectioncomplete(before, sectionlines(wpath, wsection), k8, v8);
}
