#include "windows/ViewTexts.h"

#include <climits>

#include "core/StrUtil.h"
#include "net/VendorOrigins.h"

namespace {
std::wstring WithSupportAddress(const wchar_t* before) {
  return std::wstring(before) + kSupportEmailW + L"或至帮助中心解决";
}

struct RowFile {
  RowTemplate row;
  const wchar_t* file;
};
constexpr RowFile kRowFiles[] = {
    {RowTemplate::Problem, L"result_item.xml"},
    {RowTemplate::Flash, L"result_item_fp.xml"},
    {RowTemplate::Recurring, L"result_item_crt.xml"},
};

// After-repair "result" of a Flash Player row, by kind and outcome.
struct FlashOutcome {
  int32_t kind;
  bool succeeded;
  const wchar_t* text;
};
constexpr FlashOutcome kFlashOutcomes[] = {
    {FlashBelowMinimum, true, L"您的Flash Player已升级至最新版"},
    {FlashOutdated, true, L"您的Flash Player版本较低，基于安全性考虑，建议下载最新版Flash Player"},
    {FlashBelowMinimum, false, L"您的Flash Player版本较低，建议下载最新版Flash Player"},
    {FlashOutdated, false, L"您的Flash Player修复失败，建议重新下载最新版Flash Player进行修复"},
};
}  // namespace

std::wstring NoProblemHint() { return WithSupportAddress(L"如仍有问题，请联系我们"); }
std::wstring AfterRepairHint() { return WithSupportAddress(L"如仍未解决，请联系我们"); }
std::wstring RepairFailedHint() { return WithSupportAddress(L"请联系我们"); }

std::wstring CountText(int count) { return FormatStringW(kCountFormat, count); }

bool IsFlashProblem(int32_t kind) { return kind == FlashOutdated || kind == FlashBelowMinimum; }

RowTemplate RowTemplateFor(int32_t kind, bool outcomeView, int helperRepaired) {
  if (IsFlashProblem(kind)) return RowTemplate::Flash;
  return outcomeView && helperRepaired >= 3 ? RowTemplate::Recurring : RowTemplate::Problem;
}

const wchar_t* RowTemplateFile(RowTemplate row) {
  for (const RowFile& entry : kRowFiles) {
    if (entry.row == row) return entry.file;
  }
  return kRowFiles[0].file;
}

const wchar_t* LoneFlashRowText(int32_t kind) {
  return kind == FlashOutdated ? L"您的Flash Player版本较低，基于安全性考虑，建议下载最新版Flash Player"
                               : L"您的Flash Player版本较低，建议下载最新版Flash Player";
}

const wchar_t* FlashOutcomeText(int32_t kind, bool repairSucceeded) {
  for (const FlashOutcome& entry : kFlashOutcomes) {
    if (entry.kind == kind && entry.succeeded == repairSucceeded) return entry.text;
  }
  return L"";
}

int NextHelperRepairedCount(const std::string& stored, const std::vector<RepairEntry>& problems) {
  long long count = NarrowAtoi(stored);
  for (const RepairEntry& problem : problems) {
    if (!IsFlashProblem(problem.kind) && problem.state == StateServiceRepaired) ++count;
  }
  return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}
