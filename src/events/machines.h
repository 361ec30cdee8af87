// The machines this profile has seen at any address, each with the time it was first
// seen, and the rule that makes an event of a probe's answer. Window-free.
//
// They are kept in the profile's section "Hostwarden machines": slots "1" to "4096",
// each "02 77 01 00 00 0a 1796878488" (the MAC and when it was first seen, seconds since
// 1970), and "next", the slot the next new machine takes. Once every slot is taken the
// next machine takes the oldest one's, so that MACs that change each day (phones that
// randomise theirs) never grow the set beyond `machinelimit`; a MAC dropped so is new
// again when it comes back.
#pragma once
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

extern const char machinesection[];  // "Hostwarden machines"
const int machinelimit = 4096;

struct Machine {
    unsigned char mac[6];
    long long first;  // when first seen; 0 = slot unused
};

struct KnownMachines {
    std::vector<Machine> slots;                // slot n is slots[n - 1]
    int next = 0;                              // index of the slot the next machine takes
    std::unordered_set<unsigned long long> macs;  // the MACs in the slots
    bool empty() const { return macs.empty(); }
};

// The set as the section's keys give it: slots with a well-formed value, within the
// limit; "next" when it names a slot, else the first unused slot (or the oldest).
void machinesload(KnownMachines* k, const std::vector<std::pair<std::string, std::string>>& section);
bool machineknown(const KnownMachines& k, const unsigned char mac[6]);
// Puts mac, first seen at `when`, in the next slot (dropping the MAC there); returns the
// slot's number (1-based), for its key.
int machineadd(KnownMachines* k, const unsigned char mac[6], long long when);
// A slot's value: "02 77 01 00 00 0a 1796878488".
std::string machinetext(const Machine& m);

enum EventChoice { noevent, macchange, newmachine };

// The event an answer makes. None while the set was empty at the patrol's start (the
// first patrol after an empty profile is the baseline: every MAC is new to it). A MAC
// change when another MAC answers where one answered before, also when that MAC was
// never seen (one event, the stronger). A new machine when a MAC never seen answers at
// an address that had none. A known MAC at an address that had none makes none.
EventChoice eventfor(bool baseline, const unsigned char oldmac[6], const unsigned char newmac[6],
                     bool known);
