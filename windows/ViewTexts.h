// What the main window and its result rows say, and the small rules that pick among the
// texts: which row template a problem gets, the lone-row and after-repair texts, the count of
// companion-service repairs kept in the settings file. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CheckContext.h"

// Headlines (checkResult).
inline constexpr wchar_t kCheckingText[] = L"正在检测，请稍候…";
inline constexpr wchar_t kCancellingCheckText[] = L"正在取消检测";
inline constexpr wchar_t kProblemsFoundText[] = L"检测已完成，发现异常问题，请立即修复";
inline constexpr wchar_t kFlashTooOldText[] = L"检测已完成，Flash版本较低，请立即下载";
inline constexpr wchar_t kNothingFoundText[] = L"检测已完成，未发现异常问题";
inline constexpr wchar_t kCheckCancelledText[] = L"检测已取消";
inline constexpr wchar_t kRepairingText[] = L"正在修复，请稍候…";
inline constexpr wchar_t kDownloadingFlashText[] = L"正在下载Flash Player，请稍候…";
inline constexpr wchar_t kRepairCancelledText[] = L"修复已取消";
inline constexpr wchar_t kRepairDoneText[] = L"修复已完成";
inline constexpr wchar_t kRepairFailedText[] = L"修复失败";

// Second lines (checkTip) and their colours.
inline constexpr wchar_t kCountFormat[] = L"发现以下%d个问题";
inline constexpr wchar_t kNoProblemShortText[] = L"未发现问题";
inline constexpr wchar_t kRecheckAdviceText[] = L"您的flash运行异常，请重新检测修复";
inline constexpr wchar_t kTipGrey[] = L"#FF666666";
inline constexpr wchar_t kTipRed[] = L"#FFFF0000";

// Button labels.
inline constexpr wchar_t kRepairButtonText[] = L"立即修复";
inline constexpr wchar_t kDownloadButtonText[] = L"立即下载";
inline constexpr wchar_t kCancelRepairText[] = L"取消修复";
inline constexpr wchar_t kCancelDownloadText[] = L"取消下载";
inline constexpr wchar_t kFinishButtonText[] = L"完成";
inline constexpr wchar_t kBackButtonText[] = L"返回";

// Rows.
inline constexpr wchar_t kRowDownloadText[] = L"立即下载";
inline constexpr wchar_t kRowDownloadingText[] = L"正在下载...";
inline constexpr wchar_t kRowInstallingText[] = L"正在安装...";
inline constexpr wchar_t kRecurringAdviceText[] = L"如反复出现此问题，请设置开机启动项解决此问题";
inline constexpr wchar_t kServSetText[] = L"设置";
inline constexpr wchar_t kSuccessIcon[] = L"success.png";
inline constexpr wchar_t kFailedIcon[] = L"failed.png";

// The three hints that name the support address, in the order the address is embedded.
std::wstring NoProblemHint();     // 如仍有问题，请联系我们<address>或至帮助中心解决
std::wstring AfterRepairHint();   // 如仍未解决，请联系我们<address>或至帮助中心解决
std::wstring RepairFailedHint();  // 请联系我们<address>或至帮助中心解决

// "发现以下%d个问题".
std::wstring CountText(int count);

bool IsFlashProblem(int32_t kind);

enum class RowTemplate { Problem, Flash, Recurring };
// Flash Player problems always get the Flash Player row; companion-service problems the plain
// row, or in the repair outcome view the recurring-problem row once the count is 3 or more.
RowTemplate RowTemplateFor(int32_t kind, bool outcomeView, int helperRepaired);
const wchar_t* RowTemplateFile(RowTemplate row);

// "result" of the single Flash Player row of a cancelled check.
const wchar_t* LoneFlashRowText(int32_t kind);
// "result" of a Flash Player row in the repair outcome view.
const wchar_t* FlashOutcomeText(int32_t kind, bool repairSucceeded);

// Companion-service problems repaired in total: the stored "HelperRepaired" text read with the
// C library's atoi rule (no digits count as 0) plus those of this repair in state 5. The sum
// stops at the largest int instead of wrapping round to a negative count.
int NextHelperRepairedCount(const std::string& stored, const std::vector<RepairEntry>& problems);
