// The unattended boot-time pass ("runhide"): report "boot", make the companion service
// automatic and running, settle, record what came of it and report "bootresult" when
// something had to change.
#pragma once

#include <windows.h>

#include <string>

#include "engine/ServiceControl.h"

// The state of the companion service 30 s after the repair step.
enum BootRepairResult : int {
  BootNotDetermined = -1,  // the pass ended early
  BootServiceNotRunning = 0,
  BootRunningNotAutomatic = 1,
  BootRunningAutomatic = 2,
};

// The pass's waits; tests shorten them.
struct BootRepairTimings {
  DWORD bootReportWaitMs = 150000;
  DWORD settleMs = 30000;
  DWORD resultReportWaitMs = 180000;
};

// The two report thread bodies (net's ReportBoot and ReportBootResult); each takes a
// ReportArgs allocated with new and deletes it.
struct BootReports {
  LPTHREAD_START_ROUTINE boot;
  LPTHREAD_START_ROUTINE bootResult;
};
BootReports DefaultBootReports();

class CBootRepair {
 public:
  CBootRepair();
  CBootRepair(ServiceControl& services, const BootRepairTimings& timings, const BootReports& reports);
  ~CBootRepair() = default;
  CBootRepair(const CBootRepair&) = delete;
  CBootRepair& operator=(const CBootRepair&) = delete;

  // The whole pass on the calling thread; the return value carries no meaning.
  int Run();

  int result() const { return result_; }
  const std::string& version() const { return version_; }

 private:
  // The manager or the service cannot be opened: the pass ends early.
  bool RepairStep(bool& changed);
  bool Verify();

  // The events stay open until the process ends: a report thread that outlives its wait
  // still signals its own event and touches nothing else of this object.
  HANDLE bootReportDone_ = INVALID_HANDLE_VALUE;
  HANDLE resultReportDone_ = INVALID_HANDLE_VALUE;
  int result_ = BootNotDetermined;
  std::string version_;

  ServiceControl& services_;
  BootRepairTimings timings_;
  BootReports reports_;
};
