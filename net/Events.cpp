#include "net/Events.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <initializer_list>
#include <utility>

namespace {

using Member = std::pair<const char*, const std::string*>;

// Compact form: no blanks between tokens, every value a string, standard escaping; other bytes
// (the ANSI code page's double-byte characters) pass unchanged.
std::string MembersToJson(std::initializer_list<Member> members) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  for (const Member& member : members) {
    writer.Key(member.first);
    writer.String(member.second->data(), static_cast<rapidjson::SizeType>(member.second->size()));
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

bool IsFlashKind(int32_t kind) { return kind == 4 || kind == 5; }

struct ActionInfo {
  ReportAction action;
  const char* name;
};
constexpr ActionInfo kActions[] = {
    {ReportAction::Active, "active"},           {ReportAction::Check, "check"},
    {ReportAction::CheckResult, "checkresult"}, {ReportAction::RepairResult, "repairresult"},
    {ReportAction::Boot, "boot"},               {ReportAction::BootResult, "bootresult"},
    {ReportAction::RegisterBoot, "registerboot"},
};

const char* ActionName(ReportAction action) {
  for (const ActionInfo& info : kActions)
    if (info.action == action) return info.name;
  return "";
}

constexpr char kMessageType[] = "fixtool";

}  // namespace

std::string EventToJson(const ShortEvent& e) {
  return MembersToJson({{"msgtype", &e.msgtype}, {"action", &e.action}, {"um", &e.um}, {"tt", &e.tt},
                        {"guid", &e.guid}, {"version", &e.version}});
}

std::string EventToJson(const RegisterEvent& e) {
  return MembersToJson({{"msgtype", &e.msgtype}, {"action", &e.action}, {"um", &e.um}, {"tt", &e.tt},
                        {"guid", &e.guid}, {"version", &e.version}, {"register", &e.reg}});
}

std::string EventToJson(const ResultEvent& e) {
  return MembersToJson({{"msgtype", &e.msgtype}, {"action", &e.action}, {"um", &e.um}, {"tt", &e.tt},
                        {"safesoft", &e.safesoft}, {"helper", &e.helper}, {"fp", &e.fp}, {"guid", &e.guid},
                        {"version", &e.version}});
}

ResultFields CheckResultFields(const std::vector<ReportProblem>& problems) {
  ResultFields fields;
  for (const ReportProblem& p : problems) {
    if (IsFlashKind(p.kind)) {
      fields.fp = "1";
      continue;
    }
    fields.helper = "1";
    if (p.kind == 2 || p.kind == 8) fields.helper = "2";
    if (p.kind == 7) fields.helper += "3";
  }
  return fields;
}

ResultFields RepairResultFields(const std::vector<ReportProblem>& problems) {
  ResultFields fields;
  for (const ReportProblem& p : problems) {
    if (IsFlashKind(p.kind))
      fields.fp = p.state == 2 ? "0" : "1";
    else
      fields.helper = p.state == 5 ? "0" : "1";
  }
  return fields;
}

std::string MakeEventJson(ReportAction action, const ReportArgs& args, const ReportIdentity& identity,
                          const std::string& timeText) {
  const std::string type = kMessageType, name = ActionName(action);
  switch (action) {
    case ReportAction::CheckResult:
    case ReportAction::RepairResult:
    case ReportAction::BootResult: {
      ResultFields fields;
      if (action == ReportAction::CheckResult) fields = CheckResultFields(args.problems);
      if (action == ReportAction::RepairResult) fields = RepairResultFields(args.problems);
      if (action == ReportAction::BootResult) fields.helper = std::to_string(args.bootResult);
      return EventToJson(ResultEvent{type, name, identity.encryptedMac, timeText, "0", fields.helper, fields.fp,
                                     identity.machineGuid, args.version});
    }
    case ReportAction::RegisterBoot:
      return EventToJson(RegisterEvent{type, name, identity.encryptedMac, timeText, identity.machineGuid,
                                       args.version, args.registerChecked ? "1" : "0"});
    default:
      return EventToJson(ShortEvent{type, name, identity.encryptedMac, timeText, identity.machineGuid, args.version});
  }
}
