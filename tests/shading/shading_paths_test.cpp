// The fast paths of the shading against the checked one: every pixel, the
// mirror spot, the run's scratch, and where and how a run-time error stops
// the run.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "photometry/hapke.h"
#include "photometry/reflectance.h"
#include "shading/sample_batch.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::kUntouched;
using testing_support::ShadingState;

std::vector<ShadingPath> fastPathsHere() {
  std::vector<ShadingPath> paths;
  for (ShadingPath p :
       {ShadingPath::Scalar, ShadingPath::Sse2, ShadingPath::Avx2, ShadingPath::Avx512,
        ShadingPath::Parallel})
    if (shadingPathAvailable(p)) paths.push_back(p);
  return paths;
}

// What one run leaves behind.
struct Outcome {
  Raster image{1, 1};
  MirrorSpot mirror;
  std::optional<ShadingRun> run;    // when it ended
  std::optional<ErrorKind> error;   // when it stopped
};

// workers 0: the path as the window takes it; otherwise Parallel on that many bands.
Outcome shadeOn(ShadingPath path, ShadingState st, int workers = 0) {
  Raster picture1(st.picture.pictureWidth, st.picture.pictureHeight, kUntouched);
  Outcome o;
  try {
    if (workers > 0)
      o.run = shadeMapOnWorkers(workers, st.view, st.lm, st.picture, st.isolines, st.mirror,
                                picture1);
    else
      o.run = shadeMap(path, st.view, st.lm, st.picture, st.isolines, st.mirror, picture1);
  } catch (const RuntimeError& e) {
    o.error = e.kind();
  }
  o.image = picture1;
  o.mirror = st.mirror;
  return o;
}

// The parallel path on 1, 2, 3 and 7 bands of columns.
constexpr int kWorkerCounts[] = {1, 2, 3, 7};

// The first pixel where two pictures differ, for the failure message.
std::string firstDifference(const Raster& a, const Raster& b) {
  for (int y = 0; y < a.heightPixels(); ++y)
    for (int x = 0; x < a.widthPixels(); ++x)
      if (a.point(x, y) != b.point(x, y))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
               std::to_string(a.point(x, y)) + " vs " + std::to_string(b.point(x, y));
  return "none";
}

void expectSameOutcome(const Outcome& want, const Outcome& got) {
  ASSERT_EQ(want.image.widthPixels(), got.image.widthPixels());
  ASSERT_EQ(want.image.heightPixels(), got.image.heightPixels());
  EXPECT_TRUE(want.image.pixels() == got.image.pixels()) << firstDifference(want.image, got.image);
  EXPECT_EQ(want.mirror.mirrorSpotColumn, got.mirror.mirrorSpotColumn);
  EXPECT_EQ(want.mirror.mirrorSpotRow, got.mirror.mirrorSpotRow);
  EXPECT_EQ(std::memcmp(&want.mirror.mirrorBestScore, &got.mirror.mirrorBestScore, sizeof(float)),
            0);
  EXPECT_EQ(want.error, got.error);
  ASSERT_EQ(want.run.has_value(), got.run.has_value());
  if (want.run) {
    const ShadingRun &w = *want.run, &g = *got.run;
    EXPECT_EQ(w.scanColumn, g.scanColumn);
    EXPECT_EQ(w.scanRow, g.scanRow);
    EXPECT_EQ(w.pixelDX, g.pixelDX);
    EXPECT_EQ(w.pixelDY, g.pixelDY);
    EXPECT_EQ(w.sampleIndex, g.sampleIndex);
    EXPECT_EQ(RGB(w.pointRed, w.pointGreen, w.pointBlue), RGB(g.pointRed, g.pointGreen, g.pointBlue));
    EXPECT_EQ(w.pointRed, g.pointRed);
  }
}

// Under the sanitizers a run is many times slower: there the table is thinned
// out to every seventh case, which still meets every value of every column.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kCaseStride = 7;
#else
constexpr int kCaseStride = 1;
#endif

bool takeCase() {
  static int n = 0;
  return n++ % kCaseStride == 0;
}

// Every fast path, and the parallel one on each count of workers, against Checked.
void expectPathsAgreeWith(const Outcome& want, const ShadingState& st) {
  for (ShadingPath p : fastPathsHere()) {
    SCOPED_TRACE(shadingPathName(p));
    expectSameOutcome(want, shadeOn(p, st));
  }
  for (int workers : kWorkerCounts) {
    SCOPED_TRACE(testing::Message() << "parallel on " << workers);
    expectSameOutcome(want, shadeOn(ShadingPath::Parallel, st, workers));
  }
}

void expectAllPathsAgree(const ShadingState& st) {
  expectPathsAgreeWith(shadeOn(ShadingPath::Checked, st), st);
}

// The picture of the window at a screen scale: 393 x 337 at scale 1.
void setScale(ShadingState& st, int scale) {
  st.picture.pictureWidth = static_cast<int16_t>(393 * scale);
  st.picture.pictureHeight = static_cast<int16_t>(337 * scale);
  st.picture.centreX = static_cast<int16_t>(scale == 1 ? 196 : 393);
  st.picture.centreY = static_cast<int16_t>(scale == 1 ? 168 : 337);
}

struct Rotation {
  double ox, oy, oz;
  bool wholeSphere;
};
constexpr Rotation kRotations[] = {
    {90, 0, 0, false}, {90, 30, 0, false}, {0, 0, 0, true}, {45, -30, 90, false}};
constexpr double kInclinations[] = {-60, 0, 30, 45, 180};
constexpr int32_t kModels[] = {kMatte, kGlossy, kRocky, kMirror};

// One case of the tables below at the given screen scale, compared on every path.
void expectCaseAgrees(int scale, int32_t model, bool smooth, double radius, double inclination,
                      const Rotation& r) {
  SCOPED_TRACE(testing::Message() << "scale " << scale << " model " << model << " smooth "
                                  << smooth << " radius " << radius << " inclination "
                                  << inclination << " rotation " << r.ox << "/" << r.oy << "/"
                                  << r.oz);
  ShadingState st;
  if (scale != 1) setScale(st, scale);
  st.lm.surfaceModel = model;
  st.smooth(smooth);
  st.setRadius(radius);
  st.setInclination(inclination);
  st.rotate(r.ox, r.oy, r.oz);
  st.view.visibleHalfOnly = r.wholeSphere ? kFalse : kTrue;
  expectAllPathsAgree(st);
}

TEST(ShadingPaths, DefaultIsTheWidestPathThisProcessorRuns) {
  // The log says which widths the comparisons below ran with.
  std::string names;
  for (ShadingPath p : fastPathsHere()) names += std::string(shadingPathName(p)) + " ";
  std::printf("fast paths compared: %s(default %s)\n", names.c_str(),
              shadingPathName(fastestShadingPath()));
  // From the narrowest to the widest; the last one available is the default.
  ShadingPath widest = ShadingPath::Scalar;
  for (ShadingPath p : {ShadingPath::Sse2, ShadingPath::Avx2, ShadingPath::Avx512})
    if (shadingPathAvailable(p)) widest = p;
  EXPECT_EQ(shadingPathName(fastestShadingPath()), std::string(shadingPathName(widest)));
#if defined(__x86_64__)
  // Every x86-64 processor has SSE2.
  EXPECT_NE(fastestShadingPath(), ShadingPath::Scalar);
#endif
}

TEST(ShadingPaths, SamePicturesAtScale1) {
  for (int32_t model : kModels) {
    for (bool smooth : {false, true}) {
      for (double radius : {50.0, 159.0, 899.0}) {
        for (double inclination : kInclinations) {
          for (const Rotation& r : kRotations) {
            if (takeCase()) expectCaseAgrees(1, model, smooth, radius, inclination, r);
          }
        }
      }
    }
  }
}

TEST(ShadingPaths, SamePicturesAtScale2) {
  for (int32_t model : kModels) {
    for (bool smooth : {false, true}) {
      for (double radius : {50.0, 159.0, 336.0, 899.0}) {
        for (const Rotation& r : kRotations) {
          const double inclination = kInclinations[(model + static_cast<int>(radius)) % 5];
          if (takeCase()) expectCaseAgrees(2, model, smooth, radius, inclination, r);
        }
      }
    }
  }
}

// The models of planetary photometry, each with parameters that reach its
// limits (Minnaert's white limb, L(g) below 0, a factor that clips), at both
// scales, direct and smoothed, on the whole sphere and the visible half.
TEST(ShadingPaths, SamePicturesForTheAddedModels) {
  struct Parameters {
    int32_t model;
    void (*set)(PlanetaryParameters&);
  } const models[] = {
      {kLommelSeeliger, [](PlanetaryParameters& p) { p.factor = 1.3; }},
      {kMinnaert, [](PlanetaryParameters& p) { p.minnaertK = 0.5; }},
      {kMinnaert, [](PlanetaryParameters& p) { p.minnaertK = 1.7; }},
      {kLunarLambert, [](PlanetaryParameters& p) { p.lunarLOfPhase = true; }},
      {kAkimov, [](PlanetaryParameters& p) { p.akimovEta = 2; }},
      // Hapke: a dark rough body with a strong surge, a smooth bright one in
      // the 1981 variant, and the ranges' ends (no surge width, the roughest
      // surface, the brightest albedo).
      {kHapke, [](PlanetaryParameters& p) { p.hapke = kHapkePresets[0].p; p.factor = 20; }},
      {kHapke, [](PlanetaryParameters& p) {
         p.hapke = kHapkePresets[4].p;
         p.hapke.hFunction = HFunction::Form1981;
       }},
      {kHapke, [](PlanetaryParameters& p) {
         p.hapke = {1, 0, 2, 5, 0, 60, HFunction::Approximation2002};
         p.factor = 3;
       }},
      // The 2012 terms with the exact H function.
      {kHapke, [](PlanetaryParameters& p) {
         p.hapke = kHapkePresets[0].p;
         p.hapke.hFunction = HFunction::Exact;
         p.hapke.porosity = 0.4;
         p.hapke.bc0 = 1;
         p.hapke.hc = 0.05;
         p.factor = 12;
       }},
  };
  int n = 0;
  for (const Parameters& m : models) {
    for (int scale : {1, 2}) {
      for (bool smooth : {false, true}) {
        const Rotation& r = kRotations[n % 4];
        const double inclination = kInclinations[n % 5] + (n % 3 == 0 ? 75 : 0);
        ++n;
        if (!takeCase()) continue;
        SCOPED_TRACE(testing::Message() << "model " << m.model << " scale " << scale << " smooth "
                                        << smooth << " inclination " << inclination);
        ShadingState st;
        if (scale != 1) setScale(st, scale);
        st.lm.surfaceModel = m.model;
        m.set(st.lm.planetary);
        st.smooth(smooth);
        st.setInclination(inclination);
        st.rotate(r.ox, r.oy, r.oz);
        st.view.visibleHalfOnly = r.wholeSphere ? kFalse : kTrue;
        expectAllPathsAgree(st);
      }
    }
  }
}

// A run that reports its progress draws, finds and stops exactly as one
// that does not; its reports climb from 0 to 1 and end at 1 when it ends.
TEST(ShadingPaths, ProgressLeavesTheRunAsItWas) {
  struct Case {
    const char* name;
    void (*set)(ShadingState&);
    bool completes;
  } const cases[] = {
      {"start-up", [](ShadingState&) {}, true},
      {"Hapke smoothed at scale 2",
       [](ShadingState& s) {
         setScale(s, 2);
         s.lm.surfaceModel = kHapke;
         s.lm.planetary.hapke = kHapkePresets[1].p;
         s.smooth(true);
         s.setInclination(40);
       },
       true},
      {"mirror, rotated", [](ShadingState& s) {
         s.lm.surfaceModel = kMirror;
         s.rotate(45, -30, 90);
         s.setInclination(30);
       }, true},
      {"tiny map", [](ShadingState& s) { s.setRadius(3); }, true},
      {"glossy phi beyond the float range", [](ShadingState& s) {
         s.lm.surfaceModel = kGlossy;
         s.lm.peakSharpness = -20;
         s.setInclination(30);
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    c.set(st);
    std::vector<double> reports;
    Outcome got;
    Raster picture1(st.picture.pictureWidth, st.picture.pictureHeight, kUntouched);
    try {
      got.run = shadeMap(st.view, st.lm, st.picture, st.isolines, st.mirror, picture1,
                         [&](double done) { reports.push_back(done); });
    } catch (const RuntimeError& e) {
      got.error = e.kind();
    }
    got.image = picture1;
    got.mirror = st.mirror;
    ShadingState fresh;
    c.set(fresh);
    expectSameOutcome(shadeOn(ShadingPath::Checked, fresh), got);
    for (size_t k = 0; k < reports.size(); ++k) {
      EXPECT_GE(reports[k], 0.0);
      EXPECT_LE(reports[k], 1.0);
      if (k > 0) {
        EXPECT_GE(reports[k], reports[k - 1]);
      }
    }
    if (c.completes && st.view.sphereRadius > 100) {
      ASSERT_FALSE(reports.empty());
      EXPECT_EQ(reports.back(), 1.0);
    }
  }
}

TEST(ShadingPaths, SamePicturesForUnusualSettings) {
  struct Case {
    const char* name;
    void (*set)(ShadingState&);
  } const cases[] = {
      {"isolines hidden", [](ShadingState& s) { s.isolines.isolinesHidden = kTrue; }},
      {"overlapping wide bands, glossy",
       [](ShadingState& s) {
         s.lm.surfaceModel = kGlossy;
         s.isolines.isolineHalfWidth[2] = 0.2f;
         s.isolines.isolineLevel[1] = 1.0f;
       }},
      {"negative half-width 7, rocky whole sphere",
       [](ShadingState& s) {
         s.lm.surfaceModel = kRocky;
         s.view.visibleHalfOnly = kFalse;
         s.isolines.isolineHalfWidth[7] = -0.001f;
         s.setInclination(20);
       }},
      {"OX -90, OZ -90, glossy n 0.5",
       [](ShadingState& s) {
         s.rotate(-90, 10, -90);
         s.lm.surfaceModel = kGlossy;
         s.lm.peakSharpness = 0.5f;
         s.setInclination(70);
       }},
      {"tiny radius, smoothing, mirror",
       [](ShadingState& s) {
         s.setRadius(2.5);
         s.smooth(true);
         s.lm.surfaceModel = kMirror;
       }},
      {"unknown model draws phi 0", [](ShadingState& s) { s.lm.surfaceModel = 7; }},
      {"visible-half flag 1 is not true", [](ShadingState& s) {
         s.view.visibleHalfOnly = 1;
         s.rotate(0, 0, 0);
       }},
      {"distinct band colours", [](ShadingState& s) { s.isolines.isolineColours = kDistinctColours; }},
      {"distinct band colours, smoothing, glossy, overlapping bands",
       [](ShadingState& s) {
         s.isolines.isolineColours = kDistinctColours;
         s.smooth(true);
         s.lm.surfaceModel = kGlossy;
         s.isolines.isolineHalfWidth[3] = 0.15f;
         s.setInclination(25);
       }},
      {"background not white, smoothing",
       [](ShadingState& s) {
         s.picture.backRed = 10;
         s.picture.backGreen = 300;
         s.picture.backBlue = -4;
         s.smooth(true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    c.set(st);
    expectAllPathsAgree(st);
  }
}

// Batches whose colours are found together: columns that hold only misses,
// columns of one sample, and columns longer than a batch, in each mode.
TEST(ShadingPaths, SamePicturesForBatchesOfEveryShape) {
  struct Case {
    const char* name;
    void (*set)(ShadingState&);
  } const cases[] = {
      // Turned a quarter about OY, the visible half lies left of the centre:
      // every sample of the columns to its right misses.
      {"columns of misses", [](ShadingState& s) { s.rotate(0, 90, 0); }},
      // The disc touches the picture's edges: its first and last columns hold
      // a sample or two, its middle columns 2 * 420 + 1.
      {"radius 420 at scale 2", [](ShadingState& s) {
         setScale(s, 2);
         s.setRadius(420);
       }},
      {"radius 1.5", [](ShadingState& s) { s.setRadius(1.5); }},
  };
  for (const Case& c : cases) {
    for (int32_t model : {kMatte, kGlossy, kRocky}) {
      for (bool smooth : {false, true}) {
        SCOPED_TRACE(testing::Message() << c.name << " model " << model << " smooth " << smooth);
        ShadingState st;
        st.lm.surfaceModel = model;
        st.smooth(smooth);
        c.set(st);
        expectAllPathsAgree(st);
      }
    }
  }
}

int drawnPixels(const Raster& image) {
  int drawn = 0;
  for (int y = 0; y < image.heightPixels(); ++y)
    for (int x = 0; x < image.widthPixels(); ++x) drawn += image.point(x, y) != kUntouched;
  return drawn;
}

// The light at 95 degrees, the map symmetric about its centre column 196:
// the lowest mirror score is met at column 187 and again at 205, which lie in
// different bands (an even number of bands of equal samples meet at the
// middle of the disc). The first in scan order keeps the spot, as on one
// thread.
TEST(ShadingPaths, MirrorScoreTieInTwoBandsKeepsTheFirst) {
  ShadingState st;
  st.lm.surfaceModel = kMirror;
  st.setInclination(95);
  const Outcome want = shadeOn(ShadingPath::Checked, st);
  ASSERT_EQ(want.mirror.mirrorSpotColumn, 187);
  const double dy = want.mirror.mirrorSpotRow - st.picture.centreY;
  const PointEvaluation twin = evaluatePicturePoint(st.view, st.lm, 205 - st.picture.centreX, dy,
                                                    10 * st.view.unitsPerPixel, kShadingRules, true);
  ASSERT_TRUE(twin.hit);
  RaiseAtFault raise;
  ASSERT_EQ(mirrorScore(st.lm.sourceInclination, twin.angles.angleI, twin.angles.angleE, raise),
            want.mirror.mirrorBestScore);
  for (int workers : kWorkerCounts) {
    SCOPED_TRACE(testing::Message() << "parallel on " << workers);
    expectSameOutcome(want, shadeOn(ShadingPath::Parallel, st, workers));
  }
}

// ---------------------------------------------------------------------------
// Faults: the run stops at the sample where the checked run stops, with the
// same error, the pixels and the mirror spot as it left them.

TEST(ShadingPaths, FaultsStopAtTheSameSample) {
  struct Case {
    const char* name;
    ErrorKind kind;
    void (*set)(ShadingState&);
  } const cases[] = {
      // Band 1 holds phi up to 0.5 and the upper bound of band 2 is no float:
      // the first sample with phi above 0.5 overflows, well inside the disc.
      {"band bound overflows", ErrorKind::Overflow,
       [](ShadingState& s) {
         s.isolines.isolineLevel[1] = 0.25f;
         s.isolines.isolineHalfWidth[1] = 0.25f;
         s.isolines.isolineLevel[2] = 3e38f;
         s.isolines.isolineHalfWidth[2] = 3e38f;
       }},
      {"band bound overflows, smoothing, mirror", ErrorKind::Overflow,
       [](ShadingState& s) {
         s.isolines.isolineLevel[1] = -3e38f;
         s.isolines.isolineHalfWidth[1] = 3e38f;
         s.smooth(true);
         s.lm.surfaceModel = kMirror;
         s.rotate(90, 30, 0);
         s.setInclination(20);
       }},
      // t lies in [-1, 1], so only a negative n can overflow: near t = 0,
      // t^-20 is a finite double but phi is beyond the float range ...
      {"glossy phi beyond the float range", ErrorKind::Overflow,
       [](ShadingState& s) {
         s.lm.surfaceModel = kGlossy;
         s.lm.peakSharpness = -20;
         s.setInclination(30);
       }},
      // ... and t^-400 is beyond the double range.
      {"glossy power overflows, smoothing", ErrorKind::Overflow,
       [](ShadingState& s) {
         s.lm.surfaceModel = kGlossy;
         s.lm.peakSharpness = -400;
         s.setInclination(30);
         s.smooth(true);
       }},
      // No light: |L| = 0, the cosine of incidence divides by zero at the
      // first hit.
      {"light of length zero", ErrorKind::DivisionByZero,
       [](ShadingState& s) {
         s.lm.lightY = 0;
         s.lm.lightZ = 0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    c.set(st);
    const Outcome want = shadeOn(ShadingPath::Checked, st);
    ASSERT_EQ(want.error, c.kind);
    expectPathsAgreeWith(want, st);
  }
  // A band bound beyond the float range is reached at the first sample with
  // phi above band 1: its upper bound moved in small steps puts that sample
  // in every place of a batch, its first lane and its last among them.
  for (bool smooth : {false, true}) {
    for (int step = 0; step < 40; ++step) {
      const float upper = 0.3f + 0.0171f * static_cast<float>(step);
      SCOPED_TRACE(testing::Message() << "band 1 up to " << upper << " smooth " << smooth);
      ShadingState st;
      st.smooth(smooth);
      st.isolines.isolineLevel[1] = upper / 2;
      st.isolines.isolineHalfWidth[1] = upper / 2;
      st.isolines.isolineLevel[2] = 3e38f;
      st.isolines.isolineHalfWidth[2] = 3e38f;
      const Outcome want = shadeOn(ShadingPath::Checked, st);
      ASSERT_EQ(want.error, ErrorKind::Overflow);
      expectPathsAgreeWith(want, st);
    }
  }

  // The glossy overflow is not at the first sample: part of the map is drawn.
  ShadingState st;
  st.lm.surfaceModel = kGlossy;
  st.lm.peakSharpness = -20;
  st.setInclination(30);
  const Outcome o = shadeOn(fastestShadingPath(), st);
  EXPECT_GT(drawnPixels(o.image), 1000);
  ShadingState banded;
  cases[0].set(banded);
  EXPECT_GT(drawnPixels(shadeOn(fastestShadingPath(), banded).image), 1000);
}

// ---------------------------------------------------------------------------
// The batch evaluation marks exactly the samples whose checked evaluation
// raises an error (and perhaps a few more), and agrees with it elsewhere.

TEST(SampleBatch, MarksWhatTheCheckedEvaluationRaises) {
  struct Case {
    const char* name;
    double unitsPerPixel, dx, dy;
    double lightY, lightZ;
    bool rotate;
  } const cases[] = {
      {"ordinary hit", 1.0 / 159, 30, 40, 0, 1, true},
      {"miss beyond the rim", 1.0 / 159, 170, 0, 0, 1, true},
      {"discriminant beyond the float range", 1e20, 3, 0, 0, 1, false},
      {"discriminant beyond the double range", 1e160, 1, 0, 0, 1, false},
      {"no light", 1.0 / 159, 10, 10, 0, 0, true},
      {"rayDY exactly 0 (no depth): a miss", 0.0, 5, 0, 0, 1, false},
  };
  struct Width {
    const char* name;
    EvaluateSamplesFn fn;
    ShadingPath path;
  };
  std::vector<Width> widths;
#if defined(__x86_64__)
  widths = {{"sse2", evaluateSamplesSse2, ShadingPath::Sse2},
            {"avx2", evaluateSamplesAvx2, ShadingPath::Avx2},
            {"avx512", evaluateSamplesAvx512, ShadingPath::Avx512}};
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    if (c.rotate) st.rotate(90, 30, 0); else st.rotate(0, 0, 0);
    st.view.unitsPerPixel = c.unitsPerPixel;
    st.lm.lightY = c.lightY;
    st.lm.lightZ = c.lightZ;
    const double halfLength = 10 * c.unitsPerPixel;
    std::optional<ErrorKind> error;
    PointEvaluation e;
    try {
      e = evaluatePicturePoint(st.view, st.lm, c.dx, c.dy, halfLength, kShadingRules, false);
    } catch (const RuntimeError& err) {
      error = err.kind();
    }
    SampleConstants k;
    k.unitsPerPixel = c.unitsPerPixel;
    k.halfLength = halfLength;
    k.rotated = c.rotate;
    k.cosRotOX = st.view.cosRotOX;
    k.sinRotOX = st.view.sinRotOX;
    k.cosRotOY = st.view.cosRotOY;
    k.sinRotOY = st.view.sinRotOY;
    k.cosRotOZ = st.view.cosRotOZ;
    k.sinRotOZ = st.view.sinRotOZ;
    k.lightY = c.lightY;
    k.lightZ = c.lightZ;
    k.lightNormSq = c.lightY * c.lightY + c.lightZ * c.lightZ;
    k.visibleHalfOnly = true;
    for (const Width& w : widths) {
      if (!shadingPathAvailable(w.path)) continue;
      SCOPED_TRACE(w.name);
      // The sample in every lane position.
      for (int lane = 0; lane < kMaxLanes; ++lane) {
        double dx[kMaxLanes], dy[kMaxLanes];
        for (int i = 0; i < kMaxLanes; ++i) {
          dx[i] = i == lane ? c.dx : 0;
          dy[i] = i == lane ? c.dy : 0;
        }
        SampleResults out;
        w.fn(k, dx, dy, kMaxLanes, out);
        if (error) {
          EXPECT_EQ(out.status[lane], kSampleNeedsCheck);
        } else if (!e.hit) {
          EXPECT_EQ(out.status[lane], kSampleMiss);
        } else {
          ASSERT_EQ(out.status[lane], kSampleHit);
          EXPECT_EQ(out.cosI[lane], e.angles.cosI);
          EXPECT_EQ(out.cosE[lane], e.angles.cosE);
          EXPECT_EQ(out.hz[lane], e.h.z);
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvalen
