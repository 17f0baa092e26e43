// The seven usage reports. Each Report* function is the body of a thread of its own: the
// starter passes a ReportArgs allocated with new, the thread owns and deletes it, builds the
// event, sends it and ends. The arguments are copies taken when the report starts, so a later
// change of the starting object (a new check replacing its problem snapshot) cannot reach a
// report already under way. Windows only.
//
// Typical start (the creator closes the handle at once unless it waits for the report):
//   HANDLE thread = StartReportThread(ReportCheck, ReportArgs{version});
//   if (thread) CloseHandle(thread);
#pragma once

#include <windows.h>

#include "net/Events.h"

DWORD WINAPI ReportActive(LPVOID args);        // "active"       ShortEvent
DWORD WINAPI ReportCheck(LPVOID args);         // "check"        ShortEvent
DWORD WINAPI ReportCheckResult(LPVOID args);   // "checkresult"  ResultEvent, rule A over args.problems
DWORD WINAPI ReportRepairResult(LPVOID args);  // "repairresult" ResultEvent, rule B over args.problems
DWORD WINAPI ReportBoot(LPVOID args);          // "boot"         ShortEvent
DWORD WINAPI ReportBootResult(LPVOID args);    // "bootresult"   ResultEvent, helper = args.bootResult
DWORD WINAPI ReportRegisterBoot(LPVOID args);  // "registerboot" RegisterEvent, register = args.registerChecked

// CreateThread(body, new ReportArgs(args)); the handle, or null when no thread could be made
// (the copy is then released here).
HANDLE StartReportThread(LPTHREAD_START_ROUTINE body, const ReportArgs& args);

// Builds the report URL for the current time and sends it with one HttpGet; the answer and
// the result are ignored.
void SendReport(const std::string& messageType, const std::string& payload);
