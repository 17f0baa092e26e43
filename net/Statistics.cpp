#include "net/Statistics.h"

#include <memory>

#include "core/StrUtil.h"
#include "core/ToolContext.h"
#include "net/Endpoints.h"
#include "net/HttpTransfer.h"
#include "net/ReportUrl.h"

namespace {

constexpr char kMessageType[] = "fixtool";

// Builds and sends one event; owns the arguments the starter allocated.
DWORD RunReport(ReportAction action, LPVOID param) {
  std::unique_ptr<ReportArgs> args(static_cast<ReportArgs*>(param));
  std::string tt = WideToAnsi(GetUnixTimeString());
  ToolContext& context = GetToolContext();
  ReportIdentity identity{context.encryptedMac, context.machineGuid};
  SendReport(kMessageType, MakeEventJson(action, args ? *args : ReportArgs{}, identity, tt));
  return 0;
}

}  // namespace

std::string BuildReportUrl(const std::string& messageType, const std::string& payload) {
  return BuildReportUrl(kStatisticsOrigin, messageType, payload, WideToAnsi(GetUnixTimeString()));
}

void SendReport(const std::string& messageType, const std::string& payload) {
  std::string answer;
  HttpTransfer().HttpGet(BuildReportUrl(messageType, payload), answer);
}

DWORD WINAPI ReportActive(LPVOID args) { return RunReport(ReportAction::Active, args); }
DWORD WINAPI ReportCheck(LPVOID args) { return RunReport(ReportAction::Check, args); }
DWORD WINAPI ReportCheckResult(LPVOID args) { return RunReport(ReportAction::CheckResult, args); }
DWORD WINAPI ReportRepairResult(LPVOID args) { return RunReport(ReportAction::RepairResult, args); }
DWORD WINAPI ReportBoot(LPVOID args) { return RunReport(ReportAction::Boot, args); }
DWORD WINAPI ReportBootResult(LPVOID args) { return RunReport(ReportAction::BootResult, args); }
DWORD WINAPI ReportRegisterBoot(LPVOID args) { return RunReport(ReportAction::RegisterBoot, args); }

HANDLE StartReportThread(LPTHREAD_START_ROUTINE body, const ReportArgs& args) {
  auto copy = std::make_unique<ReportArgs>(args);
  HANDLE thread = CreateThread(nullptr, 0, body, copy.get(), 0, nullptr);
  if (thread) copy.release();  // the thread owns it now
  return thread;
}
