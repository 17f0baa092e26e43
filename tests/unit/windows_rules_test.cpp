#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "net/VendorOrigins.h"
#include "windows/ViewTexts.h"

namespace {

RepairEntry Problem(int32_t kind, int32_t state) { return RepairEntry{kind, "", "", state}; }

TEST(HelperRepairedCount, AddsRepairedServiceProblemsToTheStoredNumber) {
  struct Case {
    const char* name;
    std::string stored;
    std::vector<RepairEntry> problems;
    int expected;
  };
  const Case cases[] = {
      {"absent, first repair", "", {Problem(ServiceStopped, StateServiceRepaired)}, 1},
      {"third repair", "2", {Problem(ServiceNotAutoStartStopped, StateServiceRepaired)}, 3},
      {"failed repair is not counted", "2", {Problem(ServiceMissing, StateRepairFailed)}, 2},
      {"flash problems never count", "1",
       {Problem(FlashBelowMinimum, StateFlashDealtWith), Problem(FlashOutdated, StateFlashDealtWith)}, 1},
      {"service and flash together", "0",
       {Problem(ScmUnavailable, StateServiceRepaired), Problem(FlashBelowMinimum, StateServiceRepaired)}, 1},
      {"no digits count as 0", "abc", {Problem(ServiceStopped, StateServiceRepaired)}, 1},
      {"leading digits are read", "4x", {Problem(ServiceNotAutoStart, StateServiceRepaired)}, 5},
      {"leading blanks are skipped", "  6", {}, 6},
      {"the largest count does not wrap", "2147483647", {Problem(ServiceStopped, StateServiceRepaired)}, INT_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextHelperRepairedCount(c.stored, c.problems), c.expected) << c.name;
  }
}

TEST(RowTemplates, FlashRowsStayAndServiceRowsRecurFromThree) {
  struct Case {
    int32_t kind;
    bool outcomeView;
    int count;
    const wchar_t* file;
  };
  const Case cases[] = {
      {FlashOutdated, false, 0, L"result_item_fp.xml"},
      {FlashBelowMinimum, true, 9, L"result_item_fp.xml"},
      {ServiceStopped, false, 5, L"result_item.xml"},  // the check views never use the recurring row
      {ServiceStopped, true, 2, L"result_item.xml"},
      {ServiceMissing, true, 3, L"result_item_crt.xml"},
      {ScmUnavailable, true, 4, L"result_item_crt.xml"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(RowTemplateFile(RowTemplateFor(c.kind, c.outcomeView, c.count)), c.file)
        << "kind " << c.kind << " outcome " << c.outcomeView << " count " << c.count;
  }
}

TEST(FlashRowTexts, DependOnKindAndOutcome) {
  EXPECT_STREQ(FlashOutcomeText(FlashBelowMinimum, true), L"您的Flash Player已升级至最新版");
  EXPECT_STREQ(FlashOutcomeText(FlashOutdated, true),
               L"您的Flash Player版本较低，基于安全性考虑，建议下载最新版Flash Player");
  EXPECT_STREQ(FlashOutcomeText(FlashBelowMinimum, false), L"您的Flash Player版本较低，建议下载最新版Flash Player");
  EXPECT_STREQ(FlashOutcomeText(FlashOutdated, false),
               L"您的Flash Player修复失败，建议重新下载最新版Flash Player进行修复");
  EXPECT_STREQ(LoneFlashRowText(FlashOutdated),
               L"您的Flash Player版本较低，基于安全性考虑，建议下载最新版Flash Player");
  EXPECT_STREQ(LoneFlashRowText(FlashBelowMinimum), L"您的Flash Player版本较低，建议下载最新版Flash Player");
}

TEST(Hints, NameTheSupportAddressWithoutBlanks) {
  const std::wstring address = kSupportEmailW;
  ASSERT_FALSE(address.empty());
  EXPECT_EQ(NoProblemHint(), L"如仍有问题，请联系我们" + address + L"或至帮助中心解决");
  EXPECT_EQ(AfterRepairHint(), L"如仍未解决，请联系我们" + address + L"或至帮助中心解决");
  EXPECT_EQ(RepairFailedHint(), L"请联系我们" + address + L"或至帮助中心解决");
  EXPECT_EQ(CountText(12), L"发现以下12个问题");
}

}  // namespace
