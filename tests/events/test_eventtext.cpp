// The event's texts and the journal's lines: times with their offsets, CSV fields, a whole
// row, and the mending of a killed program's last line.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "events/eventtext.h"

namespace {

TEST(EventText, IsoTimeWithItsOffset) {
    const struct {
        long long when;
        int offset;
        const char* text;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00+00:00"},
        {0, 60, "1970-01-01T01:00:00+01:00"},
        {0, -60, "1969-12-31T23:00:00-01:00"},  // the offset takes the date back over 1970
        {-1, 0, "1969-12-31T23:59:59+00:00"},
        {1709210096, 60, "2024-02-29T13:34:56+01:00"},   // leap day
        {951782400, 0, "2000-02-29T00:00:00+00:00"},     // leap century
        {4107542399, 0, "2100-02-28T23:59:59+00:00"},    // no leap day in 2100:
        {4107542400, 0, "2100-03-01T00:00:00+00:00"},    // March follows
        {1704065400, 60, "2024-01-01T00:30:00+01:00"},   // new year by the offset
        {1704069000, -60, "2023-12-31T23:30:00-01:00"},  // old year by the offset
        {1700000000, -210, "2023-11-14T18:43:20-03:30"}, // negative half hour
        {1700000000, 345, "2023-11-15T03:58:20+05:45"},
        {2147483648LL, 0, "2038-01-19T03:14:08+00:00"},  // past 32 bits
        {253402300799LL, 0, "9999-12-31T23:59:59+00:00"},
        {253402300799LL, 330, "10000-01-01T05:29:59+05:30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isotime(c.when, c.offset), c.text) << c.when << " " << c.offset;
}

TEST(EventText, KindAddressAndMacFields) {
    EXPECT_STREQ(eventkindname(eventmacchanged), "MAC changed");
    EXPECT_STREQ(eventkindname(eventnewmachine), "new machine");
    EXPECT_EQ(addressfield(Addr4{{10, 77, 200, 255}}), "10.77.200.255");
    const unsigned char mac[6] = {0x02, 0x77, 0x01, 0x00, 0x00, 0x0a}, none[6] = {};
    const unsigned char last[6] = {0, 0, 0, 0, 0, 1};
    EXPECT_EQ(macfield(mac), "02:77:01:00:00:0a");
    EXPECT_EQ(macfield(none), "");
    EXPECT_EQ(macfield(last), "00:00:00:00:00:01") << "one byte set is a MAC";
}

TEST(EventText, CsvFieldQuotesAndKeepsFormulasAsText) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"NA", "NA"},
        {"host-1.lab", "host-1.lab"},  // a minus inside is no formula
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"a\rb", "\"a\rb\""},
        {"a\nb", "\"a\nb\""},
        {" lead", "\" lead\""},
        {"trail ", "\"trail \""},
        {"in side", "in side"},
        {"=1+2", "'=1+2"},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"'=1", "'=1"},  // already text
    };
    for (const auto& c : cases) EXPECT_EQ(csvfield(c.in), c.out) << c.in;
}

Event sample() {
    Event e = {eventmacchanged, 1709210096, 60, {{10, 77, 0, 5}},
               {0x02, 0x77, 0x01, 0x00, 0x00, 0x0a}, {0x02, 0x77, 0x01, 0x00, 0x00, 0x0b},
               "host-5", "Maker, Inc."};
    return e;
}

TEST(EventText, JournalHeaderAndRows) {
    EXPECT_STREQ(journalheader, "time,kind,address,old MAC,new MAC,name,maker\r\n");
    Event e = sample();
    EXPECT_EQ(journalline(e), "2024-02-29T13:34:56+01:00,MAC changed,10.77.0.5,02:77:01:00:00:0a,"
                              "02:77:01:00:00:0b,host-5,\"Maker, Inc.\"\r\n");
    e.kind = eventnewmachine;
    memset(e.oldmac, 0, 6);
    e.name = "NA";
    e.maker = "";
    EXPECT_EQ(journalline(e),
              "2024-02-29T13:34:56+01:00,new machine,10.77.0.5,,02:77:01:00:00:0b,NA,\r\n");
    e.name = "=cmd|' /C calc'!A0\r\nnext";
    e.maker = "\"Q\"\n";
    EXPECT_EQ(journalline(e), "2024-02-29T13:34:56+01:00,new machine,10.77.0.5,,02:77:01:00:00:0b,"
                              "'=cmd|' /C calc'!A0  next,\"\"\"Q\"\" \"\r\n")
        << "one line per event, the formula kept as text";
}

TEST(EventText, JournalMendEndsAPartialLine) {
    const struct {
        std::string last, mend;
    } cases[] = {
        {"", ""},
        {"2024-02-29T13:34:56+01:00,MAC chan", "\r\n"},
        {"2024-02-29T13:34:56+01:00,MAC changed,10.77.0.5,,,\"my, na", "\"\r\n"},
        {"2024-02-29T13:34:56+01:00,new machine,10.77.0.5,,,NA,\r", "\n"},
        {"2024-02-29T13:34:56+01:00,new machine,10.77.0.5,,,\"a\r", "\"\r\n"},
        {",\"a\"\"", "\"\r\n"},  // cut between the quotes of a doubled one
        {",\"a\"", "\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(journalmend(c.last), c.mend) << c.last;
}

// The records of CSV text as a spreadsheet reads them: CRLF, LF or CR end a record outside
// quotes; "" inside quotes is a quote.
std::vector<std::vector<std::string>> readcsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += c, i++;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field), field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') i++;
            row.push_back(field), field.clear();
            rows.push_back(row), row.clear();
        } else {
            field += c;
        }
    }
    if (quoted || !field.empty() || !row.empty()) row.push_back(field), rows.push_back(row);
    return rows;
}

// A line cut anywhere, mended, then the next event: a reader finds the cut row, then the
// next one whole, and nothing in between.
TEST(EventText, AMendedJournalReadsOnWithTheNextLine) {
    Event e = sample();
    e.name = "a \"quoted\", name";
    std::string line = journalline(e);
    e.name = "next";
    std::string next = journalline(e);
    std::vector<std::string> nextrow = {"2024-02-29T13:34:56+01:00", "MAC changed", "10.77.0.5",
                                        "02:77:01:00:00:0a", "02:77:01:00:00:0b", "next",
                                        "Maker, Inc."};
    ASSERT_EQ(readcsv(std::string(journalheader) + next).back(), nextrow);
    for (size_t cut = 0; cut <= line.size(); cut++) {
        std::string partial = line.substr(0, cut);
        size_t lf = partial.rfind('\n');
        std::string tail = lf == std::string::npos ? partial : partial.substr(lf + 1);
        std::string text = journalheader + partial + journalmend(tail) + next;
        auto rows = readcsv(text);
        ASSERT_EQ(rows.size(), cut ? 3u : 2u) << "cut at " << cut << ": " << text;
        EXPECT_EQ(rows.back(), nextrow) << "cut at " << cut;
    }
}

}  // namespace
