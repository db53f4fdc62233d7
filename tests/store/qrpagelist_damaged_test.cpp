// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged report files end with a message naming the file and the fault,
// quickly, without reading outside the data or changing the file.
#include "platform/errors.h"
#include "report_helpers.h"
#include "tempfolder.h"
#include "store/qrdamagedreport.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

namespace {

Bytes GoodReport(bool Compressed = false)
{
    return MakeReport(128, {MakeEmf(400, 1), MakeEmf(600, 2), MakeEmf(300, 3)}, Compressed);
}

// Record starts of GoodReport(false).
constexpr size_t Record1 = 128, Record2 = 128 + 412, Record3 = 128 + 412 + 612;

struct DamageCase {
    const char* Name;
    std::function<void(Bytes&)> Damage;
    const char* Message; // part of the text
    bool Compressed = false;
};

void PrintTo(const DamageCase& c, std::ostream* os)
{
    *os << c.Name;
}

class DamagedReport : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedReport, EndsWithAClearMessageAndLeavesTheFileAlone)
{
    const DamageCase& c = GetParam();
    TPrivateTempFolder tmp;
    const std::string name = tmp.FilePath("damaged.qrp");
    Bytes report = GoodReport(c.Compressed);
    c.Damage(report);
    WriteFileBytes(name, report);

    std::string message;
    try {
        InspectReportFile(name);
    } catch (const Exception& e) {
        message = e.what();
    }
    EXPECT_NE(message.find(c.Message), std::string::npos) << message;
    EXPECT_NE(message.find("\"" + name + "\""), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(name), report);
    EXPECT_TRUE(tmp.Leftovers().empty());
}

const DamageCase Cases[] = {
    {"RecordNumbersOutOfSequence", [](Bytes& r) { PutI32(r, Record2, 5); }, "out of sequence"},
    {"FirstRecordNotNumberedOne", [](Bytes& r) { PutI32(r, Record1, 2); }, "out of sequence"},
    {"NextOffsetOutsideTheFile", [](Bytes& r) { PutI32(r, Record2 + 4, 1 << 30); }, "outside the file"},
    {"NextOffsetPointingBackwards", [](Bytes& r) { PutI32(r, Record2 + 4, Record1); }, "outside the file"},
    {"NextOffsetNegative", [](Bytes& r) { PutI32(r, Record1 + 4, -8); }, "outside the file"},
    {"PageCountLargerThanTheRecords", [](Bytes& r) { PutI32(r, 8, 5); },
     "header gives 5 pages but the file holds only 3"},
    {"HugePageCount", [](Bytes& r) { PutI32(r, 8, 0x7FFFFFFF); }, "holds only 3 page records"},
    {"NegativePageCount", [](Bytes& r) { PutI32(r, 8, -3); }, "negative page count"},
    {"PageDataEndsEarly", [](Bytes& r) { PutI32(r, Record2 + 8 + 48, 5000); }, "page 2: Page data ends early"},
    {"PageIsNoMetafile", [](Bytes& r) { PutI32(r, Record3 + 8, 77); }, "page 3: Page data is not an enhanced metafile"},
    {"BackPointerAtTheEndLeadsAstray", [](Bytes& r) { PutI32(r, r.size() - 4, Record2); }, "back pointer"},
    {"BackPointerLeadsForward", [](Bytes& r) { PutI32(r, Record3 - 4, Record3); }, "back pointer"},
    {"TruncatedFile", [](Bytes& r) { r.resize(r.size() - 100); }, "outside the file"},
    {"SignatureInsideTheHeader",
     [](Bytes& r) {
         std::memcpy(&r[177], "XYZ", 3); // first page no longer found by the probes
         std::memcpy(&r[20], "EMF", 3);
     },
     "header size -29"},
    {"CompressedLengthBeyondItsCode", [](Bytes& r) { PutI32(r, Record1 + 8, 1 << 28); }, "cannot come from", true},
    {"CompressedDataEndsEarly",
     [](Bytes& r) {
         // Claims a little more than the code holds: the decoder meets the end.
         PutI32(r, Record1 + 8, GetI32(r, Record1 + 8) + 200);
     },
     "ends before the page is complete", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, DamagedReport, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<DamageCase>& i) { return std::string(i.param.Name); });

TEST(DamagedReport, RandomCorruptionNeverCrashesHangsOrOverreads)
{
    std::mt19937 rng(1234);
    for (bool compressed : {false, true}) {
        const Bytes good = GoodReport(compressed);
        for (int round = 0; round < 1500; ++round) {
            Bytes r = good;
            const int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i) {
                const size_t at = rng() % r.size();
                r[at] = round % 3 == 0 ? static_cast<uint8_t>(rng())
                                       : static_cast<uint8_t>(r[at] ^ (1u << (rng() % 8)));
            }
            if (round % 10 == 0)
                r.resize(rng() % r.size());
            try {
                InspectReportData(r);
            } catch (const Exception&) {
            }
        }
    }
}

} // namespace
