// The engine's platform-free rules: OS classes, version comparison, the Flash Player version
// rules of a check, and the records.
#include <gtest/gtest.h>

#include "engine/CheckContext.h"
#include "engine/FlashRules.h"

namespace {
const std::string kWeb = "https://web.test";

TEST(OsVersionClass, MapsReportedVersions) {
  struct Case {
    unsigned major, minor;
    int osClass;
  };
  const Case cases[] = {{4, 0, 1},  {5, 0, 1},  {5, 1, 1}, {5, 2, 2}, {6, 0, 3},  {6, 1, 4},  {6, 2, 5},
                        {6, 3, 6},  {10, 0, 7}, {10, 5, 7}, {7, 0, 8}, {9, 9, 8},  {11, 0, 8}, {3, 99, 1}};
  for (const Case& c : cases) EXPECT_EQ(OsVersionClass(c.major, c.minor), c.osClass) << c.major << "." << c.minor;
}

TEST(IsVersionLower, ComparesLikeTheInstallerVersions) {
  struct Case {
    const char* installed;
    const char* reference;
    bool lower;
  };
  const Case cases[] = {
      {"28.0.0.137", "29.0.0.171", true},  {"29.0.0.171", "29.0.0.171", false},
      {"30.0.0.113", "29.0.0.171", false}, {"32.0.0.171.5", "32.0.0.171", false},
      {"32.0.0.171", "32.0.0.171.5", false}, {"", "32.0.0.171", false},
      {"31.0.0.1", "", false},            {"9.0.0.1", "10.0.0.0", true},  // numeric, not text order
  };
  for (const Case& c : cases) EXPECT_EQ(IsVersionLower(c.installed, c.reference), c.lower) << c.installed;
}

FlavourReading Installed(const char* version, bool debugger = false) { return {true, debugger, version}; }

struct RulesCase {
  const char* name;
  FlavourReading readings[3];  // ActiveX, Plugin, Pepper
  int osClass;
  bool serviceProblem;  // a companion-service problem recorded before the Flash Player step
  std::vector<int32_t> problemKinds;
  std::vector<std::pair<int32_t, int32_t>> downloads;  // flavour, state
};

TEST(ApplyFlashVersionRules, Table) {
  const RulesCase cases[] = {
      {"nothing registered", {}, 4, false, {}, {}},
      {"pepper outdated alone is silent", {{}, {}, Installed("30.0.0.100")}, 4, false, {}, {}},
      {"pepper outdated with a service problem",
       {{}, {}, Installed("30.0.0.100")}, 4, true, {ServiceStopped, FlashOutdated}, {{Pepper, StateFound}}},
      {"activex below minimum replaces the service problem",
       {Installed("28.0.0.137"), Installed("20.0.0.1"), Installed("20.0.0.1")}, 4, true,
       {FlashBelowMinimum}, {{ActiveX, StateInstall}}},
      {"activex skipped from windows 8 on", {Installed("28.0.0.137"), {}, {}}, 5, true, {ServiceStopped}, {}},
      {"script debugger is never examined", {{}, {}, Installed("20.0.0.1", true)}, 4, true, {ServiceStopped}, {}},
      {"first outdated in activex, pepper, plugin order",
       {Installed("31.0.0.1"), Installed("30.0.0.1"), {}}, 4, true,
       {ServiceStopped, FlashOutdated}, {{ActiveX, StateFound}}},
      {"pepper comes before plugin",
       {{}, Installed("30.0.0.1"), Installed("31.0.0.1")}, 4, true,
       {ServiceStopped, FlashOutdated}, {{Pepper, StateFound}}},
      {"below minimum after an outdated flavour",
       {Installed("31.0.0.1"), Installed("28.0.0.1"), {}}, 4, false, {FlashBelowMinimum}, {{Plugin, StateInstall}}},
      {"fifth component ignored", {{}, {}, Installed("32.0.0.171.5")}, 4, true, {ServiceStopped}, {}},
      {"no version value cannot be compared", {{}, {}, Installed("")}, 4, true, {ServiceStopped}, {}},
  };
  for (const RulesCase& c : cases) {
    CheckContext ctx;
    ctx.remoteConfig.flashVersion = "32.0.0.171";
    ctx.downloads.push_back({Plugin, "stale", "stale.exe", StateInstall});  // emptied first
    if (c.serviceProblem) {
      ctx.problems.push_back({ServiceStopped, kServiceProblemText, "", StateFound});
      ctx.problemsFound = true;
    }
    ApplyFlashVersionRules(ctx, c.readings, c.osClass, kWeb);
    std::vector<int32_t> kinds;
    for (const RepairEntry& p : ctx.problems) kinds.push_back(p.kind);
    std::vector<std::pair<int32_t, int32_t>> downloads;
    for (const RepairEntry& d : ctx.downloads) downloads.push_back({d.kind, d.state});
    EXPECT_EQ(kinds, c.problemKinds) << c.name;
    EXPECT_EQ(downloads, c.downloads) << c.name;
    EXPECT_EQ(ctx.problemsFound, !c.problemKinds.empty()) << c.name;
  }
}

TEST(ApplyFlashVersionRules, EntriesCarryTextsUrlsAndFileNames) {
  CheckContext ctx;
  ctx.remoteConfig.flashVersion = "32.0.0.171";
  FlavourReading readings[3] = {{}, {}, Installed("25.0.0.1")};
  ApplyFlashVersionRules(ctx, readings, 7, kWeb);
  ASSERT_EQ(ctx.problems.size(), 1u);
  EXPECT_STREQ(ctx.problems[0].text.c_str(), kFlashProblemText);
  EXPECT_EQ(ctx.problems[0].fileName, "");
  EXPECT_EQ(ctx.problems[0].state, StateFound);
  ASSERT_EQ(ctx.downloads.size(), 1u);
  EXPECT_EQ(ctx.downloads[0].text, kWeb + "/cdm/latest/flashplayerpp_install_cn.exe");
  EXPECT_EQ(ctx.downloads[0].fileName, "flashplayerpp_install_cn.exe");
}

TEST(ApplyFlashVersionRules, WithoutPublishedVersionNothingIsLower) {
  CheckContext ctx;  // fetched, but the reply had no "flashVersion"
  ctx.problems.push_back({ServiceMissing, kServiceProblemText, "", StateFound});
  FlavourReading readings[3] = {Installed("1.0.0.0"), Installed("1.0.0.0"), Installed("1.0.0.0")};
  ApplyFlashVersionRules(ctx, readings, 4, kWeb);
  EXPECT_EQ(ctx.problems.size(), 1u);
  EXPECT_TRUE(ctx.downloads.empty());
}

TEST(ReadingUpToDate, JudgesAgainstThePublishedVersion) {
  EXPECT_TRUE(ReadingUpToDate({}, "32.0.0.171"));                            // not installed
  EXPECT_TRUE(ReadingUpToDate(Installed("20.0.0.1", true), "32.0.0.171"));   // debugger build
  EXPECT_FALSE(ReadingUpToDate(Installed("30.0.0.1"), "32.0.0.171"));        // above minimum, still old
  EXPECT_TRUE(ReadingUpToDate(Installed("32.0.0.171"), "32.0.0.171"));
}

TEST(CheckRecords, InitialContextAndTexts) {
  CheckContext ctx;
  EXPECT_TRUE(ctx.repairSucceeded);
  EXPECT_FALSE(ctx.problemsFound || ctx.cancelCheck || ctx.cancelRepair || ctx.flashInstalled);
  EXPECT_EQ(ctx.progressLimit, 96);
  EXPECT_EQ(ctx.repairEvent.load(), kInvalidEvent);
  for (int32_t kind : {0, 2, 3, 7, 8}) {
    EXPECT_STREQ(ProblemText(kind), kServiceProblemText);
    EXPECT_TRUE(IsCompanionServiceProblem(kind));
  }
  for (int32_t kind : {4, 5}) {
    EXPECT_STREQ(ProblemText(kind), kFlashProblemText);
    EXPECT_FALSE(IsCompanionServiceProblem(kind));
  }
  for (int32_t kind : {1, 6}) EXPECT_STREQ(ProblemText(kind), "");
}
}  // namespace
