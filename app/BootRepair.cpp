#include "app/BootRepair.h"

#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "net/Statistics.h"

namespace {
// What one report thread is handed: its own copies and the event it signals.
struct ReportJob {
  LPTHREAD_START_ROUTINE report;
  ReportArgs args;
  HANDLE done;
};

DWORD WINAPI ReportThenSignal(LPVOID param) {
  ReportJob* job = static_cast<ReportJob*>(param);
  job->report(new ReportArgs(job->args));
  // Whether sending worked or not: the pass only waits for the attempt.
  ::SetEvent(job->done);
  delete job;
  return 0;
}

void StartReport(LPTHREAD_START_ROUTINE report, const ReportArgs& args, HANDLE done) {
  auto* job = new ReportJob{report, args, done};
  HANDLE thread = ::CreateThread(nullptr, 0, ReportThenSignal, job, 0, nullptr);
  if (thread) {
    ::CloseHandle(thread);
  } else {
    delete job;
    ::SetEvent(done);
  }
}
}  // namespace

BootReports DefaultBootReports() { return BootReports{ReportBoot, ReportBootResult}; }

CBootRepair::CBootRepair() : CBootRepair(SystemServiceControl(), BootRepairTimings{}, DefaultBootReports()) {}

CBootRepair::CBootRepair(ServiceControl& services, const BootRepairTimings& timings, const BootReports& reports)
    : version_(WideToAnsi(GetFileVersionString(GetModulePath()))),
      services_(services),
      timings_(timings),
      reports_(reports) {}

int CBootRepair::Run() {
  bootReportDone_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  resultReportDone_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ReportArgs args;
  args.version = version_;
  StartReport(reports_.boot, args, bootReportDone_);
  ::WaitForSingleObject(bootReportDone_, timings_.bootReportWaitMs);
  bool changed = false;
  if (!RepairStep(changed)) return 0;
  ::Sleep(timings_.settleMs);
  if (!Verify()) return 0;
  if (changed) {
    args.bootResult = result_;
    StartReport(reports_.bootResult, args, resultReportDone_);
  } else {
    ::SetEvent(resultReportDone_);
  }
  ::WaitForSingleObject(resultReportDone_, timings_.resultReportWaitMs);
  return 0;
}

bool CBootRepair::RepairStep(bool& changed) {
  ServiceControl& sc = services_;
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return false;
  // A missing companion service is the window mode's business (it reinstalls it).
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) return false;
  uint32_t startType = 0;  // a failed query counts as not automatic
  sc.QueryStartType(service.Get(), startType);
  if (startType != svc::kAutoStart) {
    changed = true;
    sc.SetAutoStart(service.Get());
  }
  uint32_t state = 0;
  sc.QueryState(service.Get(), state);
  if (state == svc::kStopped) {
    sc.Start(service.Get());
    changed = true;
  }
  return true;
}

bool CBootRepair::Verify() {
  ServiceControl& sc = services_;
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return false;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) return false;
  uint32_t state = 0;
  sc.QueryState(service.Get(), state);
  result_ = BootServiceNotRunning;
  if (state == svc::kRunning) {
    result_ = BootRunningNotAutomatic;
    uint32_t startType = 0;
    sc.QueryStartType(service.Get(), startType);
    if (startType == svc::kAutoStart) result_ = BootRunningAutomatic;
  }
  return true;
}
