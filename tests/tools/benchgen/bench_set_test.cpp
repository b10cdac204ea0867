// The bench bank's program set has the shape of published General MIDI banks that the speed benches need: closed
// filters swept by the modulation envelope on nearly every zone, a second layer on many programs, releases of 3 to
// 10 seconds on pads, ensembles and kits; and the dense bench song is written.

#include "tests/support/TestFolder.h"
#include "tools/bankgen/ProgramSet.h"
#include "tools/benchgen/BenchBank.h"
#include "tools/benchgen/DenseSong.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using bankgen::GeneratedInstrument;
using bankgen::Region;

class BenchSet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { set_ = new bankgen::ProgramSet(benchgen::buildBenchSet()); }
    static void TearDownTestSuite()
    {
        delete set_;
        set_ = nullptr;
    }

    // Every instrument of the set: the 128 programs, then the kits.
    static std::vector<const GeneratedInstrument*> instruments()
    {
        std::vector<const GeneratedInstrument*> all;
        for (const GeneratedInstrument& instrument : set_->melodic) {
            all.push_back(&instrument);
        }
        for (const bankgen::PlacedInstrument& kit : set_->kits) {
            all.push_back(&kit.instrument);
        }
        return all;
    }

    static bankgen::ProgramSet* set_;
};

bankgen::ProgramSet* BenchSet::set_ = nullptr;

bool layered(const GeneratedInstrument& instrument)
{
    for (const Region& a : instrument.regions) {
        for (const Region& b : instrument.regions) {
            if (&a != &b && a.keyLo <= b.keyHi && b.keyLo <= a.keyHi && a.velLo <= b.velHi && b.velLo <= a.velHi) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(BenchSet, NearlyEveryZoneHasAClosedFilterSweptByTheModulationEnvelope)
{
    int zones = 0;
    int swept = 0;
    for (const GeneratedInstrument* instrument : instruments()) {
        for (const Region& region : instrument->regions) {
            ++zones;
            swept += region.filter.cutoffCents < 9000 && region.filter.envelopeToCutoffCents >= 2400 ? 1 : 0;
        }
    }
    ASSERT_GT(zones, 0);
    EXPECT_GE(swept, zones * 9 / 10) << swept << " of " << zones;
    EXPECT_LT(swept, zones) << "a few zones keep their own filter";
}

TEST_F(BenchSet, ManyProgramsSoundTwoLayers)
{
    int layeredPrograms = 0;
    for (const GeneratedInstrument& instrument : set_->melodic) {
        layeredPrograms += layered(instrument) ? 1 : 0;
    }
    EXPECT_GE(layeredPrograms, 80);
}

TEST_F(BenchSet, PadsEnsemblesAndKitsReleaseOverThreeToTenSeconds)
{
    std::vector<const GeneratedInstrument*> ringing;
    for (int program : {48, 52, 88, 89, 95}) {
        ringing.push_back(&set_->melodic[static_cast<size_t>(program)]);
    }
    for (const bankgen::PlacedInstrument& kit : set_->kits) {
        ringing.push_back(&kit.instrument);
    }
    for (const GeneratedInstrument* instrument : ringing) {
        for (const Region& region : instrument->regions) {
            EXPECT_GE(region.envelope.releaseTimecents, bankgen::secondsToTimecents(3.0)) << instrument->name;
            EXPECT_LE(region.envelope.releaseTimecents, bankgen::secondsToTimecents(10.0)) << instrument->name;
        }
    }
}

TEST(DenseSong, IsWritten)
{
    testsupport::TestFolder folder;
    EXPECT_EQ(midigen::writeDemoFile(benchgen::denseSongFile(), folder.path()), "");
    EXPECT_GT(std::filesystem::file_size(folder.path() / "dense.mid"), 10000u);
}

} // namespace
