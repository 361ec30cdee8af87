// The main window's rectangle in the registry: the default value of SOFTWARE\<name>,
// under HKEY_LOCAL_MACHINE when that can be opened or created, else HKEY_CURRENT_USER.
#include "settings/placement.h"
#include "settings/parse.h"
#include "common/notices.h"
#include <stdio.h>
#include <string.h>

static void placementkey(char* buf, size_t size, const char* name) {
    snprintf(buf, size, "SOFTWARE\\%s", name);
}

void restoreplacement(HWND window, const char* name) {
    char keyname[MAX_PATH];
    placementkey(keyname, sizeof keyname, name);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyname, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_CURRENT_USER, keyname, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    // The query may fill all 260 bytes without a terminator: one byte more to end the text.
    char value[260 + 1];
    DWORD size = 260;
    LONG rc = RegQueryValueExA(key, "", nullptr, nullptr, (BYTE*)value, &size);
    if (rc != ERROR_SUCCESS) {
        msgbox(captionfailure, "Could not Query Registry Key <%s> Error Code %d", keyname, (int)rc);
    } else {
        value[size <= 260 ? size : 260] = 0;
        int n[4];
        if (parsefournumbers(value, n))
            MoveWindow(window, n[0], n[1], n[2] - n[0], n[3] - n[1], TRUE);
        else
            msgbox(captionfailure, "Invalid default value <%s> for Registry Key <%s>", value,
                   keyname);
    }
    RegCloseKey(key);
}

void saveplacement(HWND window, const char* name) {
    RECT r;
    if (!GetWindowRect(window, &r) || IsIconic(window)) return;
    char keyname[MAX_PATH];
    placementkey(keyname, sizeof keyname, name);
    HKEY key;
    char noclass[] = "";
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyname, 0, noclass, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        rc = RegCreateKeyExA(HKEY_CURRENT_USER, keyname, 0, noclass, 0, KEY_ALL_ACCESS, nullptr,
                             &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        msgbox(captionfailure, "Could not Create/Open Registry Key <%s> Error Code %d", keyname,
               (int)rc);
        return;
    }
    char text[64];
    snprintf(text, sizeof text, "%d %d %d %d", (int)r.left, (int)r.top, (int)r.right,
             (int)r.bottom);
    rc = RegSetValueExA(key, "", 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
    if (rc != ERROR_SUCCESS)
        msgbox(captionfailure, "Could not set Registry Key <%s> Error Code %d", keyname, (int)rc);
    RegCloseKey(key);
}
