// The address fields of the configuration and report dialogs: read, checked, shown.
#include "settings/addressfields.h"
#include "settings/rangecheck.h"
#include "common/notices.h"
#include <winsock2.h>
#include <stdio.h>
#include <string.h>

bool readaddressfield(HWND dialog, int id, Addr4* addr) {
    char text[260] = "";
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    unsigned long a = inet_addr(text);
    if (a != INADDR_NONE) {
        memcpy(addr->o, &a, 4);
        return true;
    }
    // An empty field names no host: the resolver would answer it with this machine.
    hostent* h = text[0] ? gethostbyname(text) : nullptr;
    if (!h || h->h_addrtype != AF_INET || h->h_length != 4 || !h->h_addr_list[0]) {
        msgbox(captionfailure, "Invalid Internet address <%s>", text);
        return false;
    }
    memcpy(addr->o, h->h_addr_list[0], 4);
    return true;
}

bool checkrange(const Addr4& low, const Addr4& high) {
    const unsigned char *l = low.o, *h = high.o;
    switch (rangefault(low, high)) {
    case rangesubnet:
        msgbox(captionfailure,
               "Range limits %d.%d.%d.%d and %d.%d.%d.%d must be in the same C class subnet",
               l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3]);
        return false;
    case rangeorder:
        msgbox(captionfailure,
               "Low host address %d.%d.%d.%d must be less than High host address %d.%d.%d.%d",
               l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3]);
        return false;
    case rangeok:
        break;
    }
    return true;
}

void showaddress(HWND dialog, int id, const Addr4& a) {
    char text[32];
    snprintf(text, sizeof text, "%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
    SetDlgItemTextA(dialog, id, text);
}
