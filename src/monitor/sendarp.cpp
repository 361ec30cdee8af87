// One probe of the system: SendARP, with the neighbour table where it is not supported.
#include "monitor/sendarp.h"
#include "monitor/neighbour.h"
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <string.h>

unsigned long sendarp(const Addr4& addr, unsigned char mac[6]) {
    IPAddr dest;
    memcpy(&dest, addr.o, 4);
    ULONG buf[2] = {0, 0};  // 8 bytes for the physical address
    ULONG len = 6;
    DWORD rc = SendARP(dest, 0, buf, &len);
    // A failed call may leave the length as it was given: only a success with six bytes
    // is an answer.
    if (rc == NO_ERROR && len != 6) rc = ERROR_BAD_NET_NAME;
    memcpy(mac, buf, 6);
    return rc;
}

bool systemprobe(const Addr4& addr, unsigned char mac[6]) {
    unsigned char found[6];
    unsigned long rc = sendarp(addr, found);
    if (rc == ERROR_NOT_SUPPORTED) return neighbourprobe(addr, mac);
    if (rc != NO_ERROR) return false;
    memcpy(mac, found, 6);
    return true;
}
