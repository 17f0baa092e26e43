// The records a check builds and a repair consumes: flavours, entries, problem kinds and
// states, and the per-window CheckContext. Platform-free.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "net/ToolConfig.h"

class ServiceControl;

enum FlashFlavour : int32_t {
  ActiveX = 0,
  Plugin = 1,
  Pepper = 2,
};

enum ProblemKind : int32_t {
  ScmUnavailable = 0,
  ServiceStopped = 2,
  ServiceMissing = 3,
  FlashOutdated = 4,
  FlashBelowMinimum = 5,
  ServiceNotAutoStart = 7,
  ServiceNotAutoStartStopped = 8,
};

enum EntryState : int32_t {
  StateFound = 0,    // problem: not yet repaired; download: offered only
  StateInstall = 1,  // download: install during the repair
  StateFlashDealtWith = 2,
  StateRepairFailed = 3,
  StateServiceRepaired = 5,
};

// One record, two lists. Problem list: kind is a ProblemKind, text the message (code page 936
// bytes), fileName empty. Download list: kind is a FlashFlavour, text the installer URL,
// fileName the installer's file name.
struct RepairEntry {
  int32_t kind = 0;
  std::string text;
  std::string fileName;
  int32_t state = 0;
};

// Problem texts as code page 936 bytes, the ANSI code page of the machines the tool is made
// for; the windows show them through AnsiToWide.
// "Flash Player必要组件未运行，建议立即修复启动该组件"
constexpr const char* kServiceProblemText =
    "Flash Player"
    "\xb1\xd8\xd2\xaa\xd7\xe9\xbc\xfe\xce\xb4\xd4\xcb\xd0\xd0\xa3\xac\xbd\xa8\xd2\xe9"
    "\xc1\xa2\xbc\xb4\xd0\xde\xb8\xb4\xc6\xf4\xb6\xaf\xb8\xc3\xd7\xe9\xbc\xfe";
// "您的Flash Player版本较低，建议下载最新版Flash Player"
constexpr const char* kFlashProblemText =
    "\xc4\xfa\xb5\xc4"
    "Flash Player"
    "\xb0\xe6\xb1\xbe\xbd\xcf\xb5\xcd\xa3\xac\xbd\xa8\xd2\xe9\xcf\xc2\xd4\xd8\xd7\xee\xd0\xc2\xb0\xe6"
    "Flash Player";

// The message stored with each problem kind (the values 1 and 6 are unused).
const char* ProblemText(int32_t kind);
// Kinds 0, 2, 3, 7 and 8: the companion-service problems, all repaired and shown alike.
bool IsCompanionServiceProblem(int32_t kind);

// Waits the engine makes; tests shorten them.
struct RunTimings {
  unsigned animationStepMs = 500;
  unsigned flashInstallerWaitMs = 300000;
  unsigned companionInstallerWaitMs = 300000;
  unsigned officialInstallerWaitMs = 1200000;
  unsigned officialReportWaitMs = 30000;
};

inline void* const kInvalidEvent = reinterpret_cast<void*>(static_cast<intptr_t>(-1));

// Held by the main window, one per window. The cancel flags are written by the window thread
// and read by the workers at fixed points; the lists are written only by the running worker
// and read by the window after the completion message or in the cancelled views.
struct CheckContext {
  bool problemsFound = false;
  bool repairSucceeded = true;
  std::atomic<bool> cancelCheck{false};
  std::atomic<bool> cancelRepair{false};
  bool flashInstalled = false;
  std::atomic<int32_t> progressLimit{96};
  std::vector<RepairEntry> problems;
  std::vector<RepairEntry> problemSnapshot;
  std::vector<RepairEntry> downloads;
  std::string version;
  ToolConfig remoteConfig;
  // Manual-reset event (a HANDLE) that stops the repair progress animation.
  std::atomic<void*> repairEvent{kInvalidEvent};

  // Not check state: the service manager the runs use (null: the system's) and their waits.
  ServiceControl* services = nullptr;
  RunTimings timings;
};

// The service manager a context's runs use.
ServiceControl& ServicesOf(const CheckContext& ctx);
