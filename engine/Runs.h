// The check and repair runs of the main window, on worker threads of their own, and what the
// window calls around them. The runs change the window only through RunView.
//
// Per window: Idle -> Checking -> (CheckDone | CheckCancelled) -> Repairing ->
// (RepairDone | RepairCancelled) -> Idle. A cancelled run posts nothing: the worker calls the
// cancelled view itself and ends.
#pragma once

#include "engine/CheckContext.h"
#include "engine/RunView.h"
#include "net/Events.h"

// Window thread. Clears the flags and the problem list (downloads are emptied by the check
// itself), then starts RunCheck and the "check" report, both detached.
void StartCheck(CheckContext& ctx, RunView& view);
// Window thread. progressLimit 96, a fresh repairEvent, cancelRepair cleared, then RunRepair
// and AnimateRepairProgress, detached.
void StartRepair(CheckContext& ctx, RunView& view);
void RequestCancelCheck(CheckContext& ctx);
// Sets cancelRepair and stops the animation.
void RequestCancelRepair(CheckContext& ctx);
// Stops the progress animation (the window does this on WM_REPAIR_DONE).
void SignalRepairEvent(CheckContext& ctx);

// The flags and both lists as a new check starts them.
void ResetForCheck(CheckContext& ctx);
// The thread bodies, callable directly from tests.
void RunCheck(CheckContext& ctx, RunView& view);
void RunRepair(CheckContext& ctx, RunView& view);
void AnimateRepairProgress(CheckContext& ctx, RunView& view);

// Window thread, on WM_REPAIR_DONE: marks every problem repaired (2, 5) or failed (3) and
// answers whether the repair succeeded. The companion service is judged by its state now,
// a Flash Player flavour by a fresh version test.
bool EvaluateRepairOutcome(CheckContext& ctx);
// problemSnapshot = a copy of problems.
void SnapshotProblems(CheckContext& ctx);

// What the reports take from the context: copies, so a later check cannot reach a report
// under way.
ReportArgs CheckReportArgs(const CheckContext& ctx);   // version only
ReportArgs SnapshotReportArgs(const CheckContext& ctx);  // version and problemSnapshot ("checkresult", "repairresult")
// "repairresult" is due only when the first download entry was to be installed.
bool RepairResultReportDue(const CheckContext& ctx);
