// Statistics event payloads: the three record shapes, their compact JSON form and the rules
// that summarise a check or a repair. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Members are written to JSON in declaration order.
struct ShortEvent {
  std::string msgtype, action, um, tt, guid, version;
};
struct RegisterEvent {
  std::string msgtype, action, um, tt, guid, version, reg;  // JSON key "register"
};
struct ResultEvent {
  std::string msgtype, action, um, tt, safesoft, helper, fp, guid, version;
};

std::string EventToJson(const ShortEvent& event);
std::string EventToJson(const RegisterEvent& event);
std::string EventToJson(const ResultEvent& event);

// What a report needs of one problem entry of a check: its ProblemKind and EntryState values.
struct ReportProblem {
  int32_t kind = 0;
  int32_t state = 0;
};

struct ResultFields {
  std::string fp = "-1";
  std::string helper = "-1";
};
// "checkresult": Flash Player kinds (4, 5) set fp "1"; any other kind sets helper "1", "2" for
// kinds 2 and 8, "13" for kind 7. The last entry of each group decides.
ResultFields CheckResultFields(const std::vector<ReportProblem>& problems);
// "repairresult": Flash Player kinds give fp "0" in state 2, else "1"; other kinds give
// helper "0" in state 5, else "1". The last entry of each group decides.
ResultFields RepairResultFields(const std::vector<ReportProblem>& problems);

// Copies a report takes from its starting object.
struct ReportArgs {
  std::string version;                  // the executable's file version, "a.b.c.d"
  std::vector<ReportProblem> problems;  // checkresult/repairresult: the problem snapshot
  int32_t bootResult = 0;               // bootresult: the boot pass's result (0, 1 or 2)
  bool registerChecked = false;         // registerboot: the start-up repair box is selected
};

enum class ReportAction { Active, Check, CheckResult, RepairResult, Boot, BootResult, RegisterBoot };

// The machine values every event carries.
struct ReportIdentity {
  std::string encryptedMac;
  std::string machineGuid;
};

// The JSON payload of one event, with "tt" = timeText.
std::string MakeEventJson(ReportAction action, const ReportArgs& args, const ReportIdentity& identity,
                          const std::string& timeText);
