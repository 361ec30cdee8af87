#include "events/machines.h"
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char machinesection[] = "Hostwarden machines";

static unsigned long long mackey(const unsigned char mac[6]) {
    unsigned long long v = 0;
    for (int i = 0; i < 6; i++) v = v << 8 | mac[i];
    return v;
}

static bool zero(const unsigned char mac[6]) {
    static const unsigned char none[6] = {};
    return !memcmp(mac, none, 6);
}

// "02 77 01 00 00 0a 1796878488": six hex bytes of one or two digits and a positive
// decimal time, apart by single spaces, nothing else.
static bool parsemachine(const std::string& s, Machine* m) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (;;) {
        size_t sp = s.find(' ', at);
        parts.push_back(s.substr(at, sp == std::string::npos ? std::string::npos : sp - at));
        if (sp == std::string::npos) break;
        at = sp + 1;
    }
    if (parts.size() != 7) return false;
    for (int i = 0; i < 6; i++) {
        const std::string& p = parts[i];
        if (p.empty() || p.size() > 2 || p.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        m->mac[i] = (unsigned char)strtoul(p.c_str(), nullptr, 16);
    }
    const std::string& t = parts[6];
    if (t.empty() || t.size() > 18 || t.find_first_not_of("0123456789") != std::string::npos) return false;
    m->first = strtoll(t.c_str(), nullptr, 10);
    return m->first > 0 && !zero(m->mac);
}

// A slot's or next's number, 1..machinelimit, else 0.
static int slotnumber(const std::string& s) {
    if (s.empty() || s.size() > 4) return 0;
    for (char c : s)
        if (c < '0' || c > '9') return 0;
    int n = atoi(s.c_str());
    return n >= 1 && n <= machinelimit ? n : 0;
}

void machinesload(KnownMachines* k, const std::vector<std::pair<std::string, std::string>>& section) {
    *k = KnownMachines();
    int next = 0;
    for (const auto& kv : section) {
        if (kv.first == "next") {
            next = slotnumber(kv.second);
            continue;
        }
        int n = slotnumber(kv.first);
        Machine m;
        if (!n || !parsemachine(kv.second, &m) || machineknown(*k, m.mac)) continue;
        if ((int)k->slots.size() < n) k->slots.resize(n, Machine{{}, 0});
        k->slots[n - 1] = m;
        k->macs.insert(mackey(m.mac));
    }
    if (next) {
        k->next = next - 1;
        return;
    }
    // No usable "next": the first unused slot, or the oldest when all are used.
    k->next = (int)k->slots.size() < machinelimit ? (int)k->slots.size() : 0;
    for (size_t i = 0; i < k->slots.size(); i++)
        if (!k->slots[i].first) {
            k->next = (int)i;
            break;
        }
    if ((int)k->slots.size() == machinelimit && k->slots[k->next].first)
        for (size_t i = 0; i < k->slots.size(); i++)
            if (k->slots[i].first < k->slots[k->next].first) k->next = (int)i;
}

bool machineknown(const KnownMachines& k, const unsigned char mac[6]) {
    return k.macs.count(mackey(mac)) != 0;
}

int machineadd(KnownMachines* k, const unsigned char mac[6], long long when) {
    int i = k->next;
    if ((int)k->slots.size() <= i) k->slots.resize(i + 1, Machine{{}, 0});
    Machine& m = k->slots[i];
    if (m.first) k->macs.erase(mackey(m.mac));
    memcpy(m.mac, mac, 6);
    m.first = when;
    k->macs.insert(mackey(mac));
    k->next = (i + 1) % machinelimit;
    return i + 1;
}

std::string machinetext(const Machine& m) {
    char text[64];
    snprintf(text, sizeof text, "%02x %02x %02x %02x %02x %02x %" PRId64, m.mac[0], m.mac[1], m.mac[2], m.mac[3],
             m.mac[4], m.mac[5], (int64_t)m.first);
    return text;
}

EventChoice eventfor(bool baseline, const unsigned char oldmac[6], const unsigned char newmac[6],
                     bool known) {
    if (baseline || zero(newmac)) return noevent;
    if (!zero(oldmac)) return memcmp(oldmac, newmac, 6) ? macchange : noevent;
    return known ? noevent : newmachine;
}
