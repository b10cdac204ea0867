#include "sampler/src/fx/korvel_rev.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Block = std::array<float, KORVEL_BUFSIZE>;

struct RevDeleter {
  void operator()(korvel_revmodel_t* rev) const { delete_korvel_revmodel(rev); }
};
using Reverb = std::unique_ptr<korvel_revmodel_t, RevDeleter>;

Reverb makeReverb() {
  Reverb rev(new_korvel_revmodel());
  EXPECT_NE(rev, nullptr);
  return rev;
}

struct Stereo {
  std::vector<float> left, right;
};

// Runs `blocks` blocks of an impulse at frame 0 (then silence) through the reverb.
Stereo impulseResponse(korvel_revmodel_t* rev, int blocks, bool mix) {
  Stereo out;
  Block in{};
  in[0] = 1.0f;
  for (int b = 0; b < blocks; ++b) {
    Block left{}, right{};
    if (mix)
      korvel_revmodel_processmix(rev, in.data(), left.data(), right.data());
    else
      korvel_revmodel_processreplace(rev, in.data(), left.data(), right.data());
    out.left.insert(out.left.end(), left.begin(), left.end());
    out.right.insert(out.right.end(), right.begin(), right.end());
    in[0] = 0.0f;
  }
  return out;
}

int firstAbove(const std::vector<float>& signal, float threshold) {
  for (size_t i = 0; i < signal.size(); ++i)
    if (std::fabs(signal[i]) > threshold) return static_cast<int>(i);
  return -1;
}

double energy(const std::vector<float>& signal, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(signal[i]) * signal[i];
  return sum;
}

// Frame-by-frame model of the unit written straight from its description: 8 damped combs and 4 allpasses per side,
// the right side 23 samples longer, input gain 0.015, lines primed with 1e-8.
class ReferenceReverb {
 public:
  ReferenceReverb(float feedback, float damp, float wet1, float wet2) : wet1_(wet1), wet2_(wet2) {
    const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const int allpasses[4] = {556, 441, 341, 225};
    for (int side = 0; side < 2; ++side) {
      for (int size : combs) comb_[side].push_back({std::vector<float>(size + 23 * side, 1e-8f), 0, 0.0f});
      for (int size : allpasses) allpass_[side].push_back({std::vector<float>(size + 23 * side, 1e-8f), 0, 0.0f});
    }
    feedback_ = feedback;
    damp1_ = damp;
    damp2_ = 1.0f - damp;
  }

  void frame(float in, float scale, float& left, float& right) {
    float input = (2.0f * in + 1e-8f) * 0.015f * scale;
    float side[2];
    for (int s = 0; s < 2; ++s) {
      float sum = 0.0f;
      for (Line& c : comb_[s]) {
        float y = c.buffer[c.index];
        c.store = y * damp2_ + c.store * damp1_;
        c.buffer[c.index] = input + c.store * feedback_;
        c.index = (c.index + 1) % static_cast<int>(c.buffer.size());
        sum += y;
      }
      for (Line& a : allpass_[s]) {
        float b = a.buffer[a.index];
        float x = sum;
        sum = b - x;
        a.buffer[a.index] = x + b * 0.5f;
        a.index = (a.index + 1) % static_cast<int>(a.buffer.size());
      }
      side[s] = sum - 1e-8f;
    }
    left = wet1_ * side[0] + wet2_ * side[1];
    right = wet1_ * side[1] + wet2_ * side[0];
  }

 private:
  struct Line {
    std::vector<float> buffer;
    int index;
    float store;
  };
  std::vector<Line> comb_[2], allpass_[2];
  float feedback_, damp1_, damp2_, wet1_, wet2_;
};

TEST(Reverb, ImpulseArrivesAfterTheShortestCombOfEachSide) {
  struct Case {
    double width;
    bool mix;
    int firstLeft, firstRight;
  };
  // At full width each side hears only its own combs (left 1116, right 1116 + 23); at width 0 both sides mix.
  for (const Case& c : {Case{1.0, false, 1116, 1139}, Case{1.0, true, 1116, 1139}, Case{0.0, false, 1116, 1116},
                        Case{0.5, true, 1116, 1116}}) {
    Reverb rev = makeReverb();
    korvel_revmodel_setwidth(rev.get(), c.width);
    Stereo out = impulseResponse(rev.get(), 8, c.mix);
    EXPECT_EQ(firstAbove(out.left, 1e-6f), c.firstLeft) << "width " << c.width << " mix " << c.mix;
    EXPECT_EQ(firstAbove(out.right, 1e-6f), c.firstRight) << "width " << c.width << " mix " << c.mix;
  }
}

TEST(Reverb, WholeResponseMatchesTheFrameByFrameModel) {
  Reverb rev = makeReverb();
  korvel_revmodel_setroomsize(rev.get(), 0.7);
  korvel_revmodel_setdamp(rev.get(), 0.25);
  korvel_revmodel_setwidth(rev.get(), 0.6);
  // room 0.28 * 0.7 + 0.7, damp 0.4 * 0.25, wet1 = 3 * (0.6 / 2 + 0.5), wet2 = 3 * (1 - 0.6) / 2
  ReferenceReverb reference(0.896f, 0.1f, 2.4f, 0.6f);

  std::srand(7);
  for (bool mix : {false, true}) {
    double worst = 0.0;
    for (int b = 0; b < 40; ++b) {
      Block in, left, right;
      for (float& s : in) s = b < 10 ? static_cast<float>(std::rand()) / RAND_MAX - 0.5f : 0.0f;
      left.fill(0.25f);
      right.fill(-0.25f);
      if (mix)
        korvel_revmodel_processmix(rev.get(), in.data(), left.data(), right.data());
      else
        korvel_revmodel_processreplace(rev.get(), in.data(), left.data(), right.data());
      for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
        float refLeft, refRight;
        reference.frame(in[k], mix ? 3.0f : 1.0f, refLeft, refRight);
        if (mix) {
          refLeft += 0.25f;
          refRight -= 0.25f;
        }
        worst = std::max({worst, std::fabs(double(left[k]) - refLeft), std::fabs(double(right[k]) - refRight)});
      }
    }
    EXPECT_LT(worst, 1e-5) << (mix ? "processmix" : "processreplace");
  }
}

TEST(Reverb, SettersAndGettersRoundTrip) {
  Reverb rev = makeReverb();
  EXPECT_NEAR(korvel_revmodel_getroomsize(rev.get()), 0.5, 1e-6);  // internal 0.84
  EXPECT_NEAR(korvel_revmodel_getdamp(rev.get()), 0.5, 1e-6);      // internal 0.2
  EXPECT_DOUBLE_EQ(korvel_revmodel_getwidth(rev.get()), 1.0);
  EXPECT_DOUBLE_EQ(korvel_revmodel_getlevel(rev.get()), 1.0);

  for (double v : {0.0, 0.3, 0.7, 1.0, 1.2}) {
    korvel_revmodel_setroomsize(rev.get(), v);
    EXPECT_NEAR(korvel_revmodel_getroomsize(rev.get()), v, 1e-6);
    korvel_revmodel_setdamp(rev.get(), v);
    EXPECT_NEAR(korvel_revmodel_getdamp(rev.get()), v, 1e-6);
    korvel_revmodel_setwidth(rev.get(), v);
    EXPECT_NEAR(korvel_revmodel_getwidth(rev.get()), v, 1e-6);
  }
  korvel_revmodel_setlevel(rev.get(), 0.2);
  EXPECT_DOUBLE_EQ(korvel_revmodel_getlevel(rev.get()), 1.0);
}

TEST(Reverb, LevelChangesLeaveTheOutputUnchanged) {
  Reverb plain = makeReverb();
  Reverb levelled = makeReverb();
  korvel_revmodel_setlevel(levelled.get(), 0.1);
  korvel_revmodel_update(levelled.get());
  Stereo a = impulseResponse(plain.get(), 10, true);
  Stereo b = impulseResponse(levelled.get(), 10, true);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
}

TEST(Reverb, WidthSetsTheCrossFeed) {
  // At the left's first arrival only left combs sound, so the right side carries wet2 / wet1 of it.
  for (double width : {0.0, 0.25, 0.8}) {
    Reverb rev = makeReverb();
    korvel_revmodel_setwidth(rev.get(), width);
    Stereo out = impulseResponse(rev.get(), 5, false);
    double expected = ((1.0 - width) / 2.0) / (width / 2.0 + 0.5);
    EXPECT_NEAR(out.right[1116] / out.left[1116], expected, 1e-4) << width;
  }
}

TEST(Reverb, LargerRoomRingsLonger) {
  Reverb small = makeReverb();
  Reverb large = makeReverb();
  korvel_revmodel_setroomsize(small.get(), 0.1);
  korvel_revmodel_setroomsize(large.get(), 0.9);
  Stereo a = impulseResponse(small.get(), 160, false);
  Stereo b = impulseResponse(large.get(), 160, false);
  EXPECT_GT(energy(b.left, 20000, 40000), 100.0 * energy(a.left, 20000, 40000));
}

TEST(Reverb, ResetSilencesTheTail) {
  Reverb rev = makeReverb();
  impulseResponse(rev.get(), 4, false);
  Block in{}, left{}, right{};
  korvel_revmodel_processreplace(rev.get(), in.data(), left.data(), right.data());
  EXPECT_GT(energy(std::vector<float>(left.begin(), left.end()), 0, KORVEL_BUFSIZE), 1e-6);

  korvel_revmodel_reset(rev.get());
  Stereo after = impulseResponse(rev.get(), 8, false);
  std::vector<float> silenceBeforeArrival(after.left.begin(), after.left.begin() + 1116);
  EXPECT_EQ(firstAbove(silenceBeforeArrival, 1e-6f), -1);
}

// Noise bursts with long silences between them, against the frame-by-frame model, which never stops: the unit must
// fall asleep in each silence, but only once the model's tail is below -120 dB, and wake with the next burst.
TEST(Reverb, SleepsOnlyAfterTheTailHasEndedAndWakesOnInput) {
  struct Case {
    double roomsize;
    bool mix;
    int silentBlocks;
  };
  for (const Case& c : {Case{0.2, false, 600}, Case{0.8, true, 1500}}) {
    Reverb rev = makeReverb();
    korvel_revmodel_setroomsize(rev.get(), c.roomsize);
    const float feedback = static_cast<float>(c.roomsize * 0.28 + 0.7);
    ReferenceReverb reference(feedback, 0.2f, 3.0f, 0.0f);
    std::srand(11);
    double worst = 0.0;
    int sleptBlocks = 0, wokenBlocks = 0;
    for (int burst = 0; burst < 2; ++burst) {
      for (int b = 0; b < 10 + c.silentBlocks; ++b) {
        Block in{}, left{}, right{};
        if (b < 10)
          for (float& s : in) s = static_cast<float>(std::rand()) / RAND_MAX - 0.5f;
        if (c.mix)
          korvel_revmodel_processmix(rev.get(), in.data(), left.data(), right.data());
        else
          korvel_revmodel_processreplace(rev.get(), in.data(), left.data(), right.data());
        float referencePeak = 0.0f;
        for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
          float refLeft, refRight;
          reference.frame(in[k], c.mix ? 3.0f : 1.0f, refLeft, refRight);
          referencePeak = std::max({referencePeak, std::fabs(refLeft), std::fabs(refRight)});
          worst = std::max({worst, std::fabs(double(left[k]) - refLeft), std::fabs(double(right[k]) - refRight)});
        }
        if (korvel_revmodel_sleeping(rev.get())) {
          ++sleptBlocks;
          EXPECT_LT(referencePeak, 1e-6f) << "asleep while the tail sounds, room " << c.roomsize << " block " << b;
        } else if (b < 10) {
          ++wokenBlocks;
        }
      }
      EXPECT_EQ(korvel_revmodel_sleeping(rev.get()), 1) << "room " << c.roomsize << " burst " << burst;
    }
    EXPECT_EQ(wokenBlocks, 20) << "room " << c.roomsize;
    EXPECT_GT(sleptBlocks, 200) << "room " << c.roomsize;
    EXPECT_LT(worst, 1e-5) << "room " << c.roomsize;
  }
}

TEST(Reverb, ResetWakesTheUnit) {
  Reverb rev = makeReverb();
  Block in{}, left{}, right{};
  for (int b = 0; b < 200 && !korvel_revmodel_sleeping(rev.get()); ++b)
    korvel_revmodel_processreplace(rev.get(), in.data(), left.data(), right.data());
  ASSERT_EQ(korvel_revmodel_sleeping(rev.get()), 1);
  korvel_revmodel_reset(rev.get());
  EXPECT_EQ(korvel_revmodel_sleeping(rev.get()), 0);
}

}  // namespace
