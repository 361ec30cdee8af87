// The machines a profile has seen, and the event each answer makes.
#include <gtest/gtest.h>
#include <string.h>
#include "events/machines.h"

namespace {

const unsigned char none[6] = {0, 0, 0, 0, 0, 0};
const unsigned char macA[6] = {0x02, 0x77, 0x01, 0x00, 0x00, 0x0a};
const unsigned char macB[6] = {0x02, 0x77, 0xee, 0x12, 0x34, 0x56};

TEST(Machines, EachAnswerMakesAtMostOneEvent) {
    struct Row {
        const char* what;
        bool baseline;
        const unsigned char* oldmac;
        const unsigned char* newmac;
        bool known;
        EventChoice want;
    } rows[] = {
        {"first answer, never seen", false, none, macA, false, newmachine},
        {"first answer, seen elsewhere", false, none, macA, true, noevent},
        {"same MAC again", false, macA, macA, true, noevent},
        {"another MAC, seen elsewhere", false, macA, macB, true, macchange},
        {"another MAC, never seen: one event", false, macA, macB, false, macchange},
        {"baseline: never seen", true, none, macA, false, noevent},
        {"baseline: another MAC", true, macA, macB, false, noevent},
    };
    for (const Row& r : rows) EXPECT_EQ(eventfor(r.baseline, r.oldmac, r.newmac, r.known), r.want) << r.what;
}

TEST(Machines, TheSectionIsReadAsWritten) {
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> section;
        size_t known;
        int next;  // the slot number the next machine takes
    } rows[] = {
        {"empty", {}, 0, 1},
        {"two slots and next", {{"1", "02 77 01 00 00 0a 1796878488"}, {"2", "02 77 ee 12 34 56 1796878500"}, {"next", "3"}}, 2, 3},
        {"no next: the first unused slot", {{"1", "02 77 01 00 00 0a 1796878488"}, {"3", "02 77 ee 12 34 56 1796878500"}}, 2, 2},
        {"next beyond the limit is not used", {{"1", "02 77 01 00 00 0a 1796878488"}, {"next", "4097"}}, 1, 2},
        {"bad values and names are skipped",
         {{"1", "02 77 01 00 00 1796878488"}, {"2", "02 77 01 00 00 0a 0"}, {"3", "zz 77 01 00 00 0a 5"},
          {"4", "02 77 01 00 00 0a 5 x"}, {"4097", "02 77 01 00 00 0a 5"}, {"x", "02 77 01 00 00 0a 5"},
          {"5", "00 00 00 00 00 00 5"}, {"6", "02 77 01 00 00 0a 5"}},
         1, 1},
        {"a MAC twice counts once", {{"1", "02 77 01 00 00 0a 5"}, {"2", "02 77 01 00 00 0a 6"}}, 1, 2},
    };
    for (const Row& r : rows) {
        KnownMachines k;
        machinesload(&k, r.section);
        EXPECT_EQ(k.macs.size(), r.known) << r.what;
        EXPECT_EQ(k.next + 1, r.next) << r.what;
    }
}

TEST(Machines, TheOldestGivesWayAtTheLimit) {
    KnownMachines k;
    unsigned char mac[6] = {0x02, 0x77, 0, 0, 0, 0};
    for (int i = 0; i < 4096; i++) {
        mac[4] = (unsigned char)(i >> 8);
        mac[5] = (unsigned char)i;
        ASSERT_EQ(machineadd(&k, mac, 1000 + i), i + 1);
    }
    EXPECT_EQ(k.macs.size(), 4096u);
    EXPECT_EQ(machineadd(&k, macB, 9000), 1);  // slot 1 held the first machine seen
    const unsigned char first[6] = {0x02, 0x77, 0, 0, 0, 0};
    EXPECT_FALSE(machineknown(k, first));
    EXPECT_TRUE(machineknown(k, macB));
    EXPECT_EQ(k.macs.size(), 4096u);
    EXPECT_EQ(machinetext(k.slots[0]), "02 77 ee 12 34 56 9000");
    EXPECT_EQ(k.next + 1, 2);

    // Read back from what was saved: the full ring goes on where it was.
    std::vector<std::pair<std::string, std::string>> section;
    for (size_t i = 0; i < k.slots.size(); i++) section.push_back({std::to_string(i + 1), machinetext(k.slots[i])});
    KnownMachines again;
    section.push_back({"next", "2"});
    machinesload(&again, section);
    EXPECT_EQ(again.macs.size(), 4096u);
    EXPECT_EQ(machineadd(&again, macA, 9100), 2);
    // Without "next", the oldest slot is found by its time.
    section.pop_back();
    machinesload(&again, section);
    EXPECT_EQ(again.next + 1, 2);
}

}  // namespace
