#include "reports/arpline.h"
#include <stdio.h>

void formatarpline(char* buf, size_t size, const unsigned char addr[4],
                   const unsigned char phys[6]) {
    snprintf(buf, size, "%d.%d.%d.%d : %02x:%02x:%02x:%02x:%02x:%02x", addr[0], addr[1],
             addr[2], addr[3], phys[0], phys[1], phys[2], phys[3], phys[4], phys[5]);
}
