// Platform-free network pieces: report URLs, event payloads and rules, configuration replies.
#include <gtest/gtest.h>

#include "core/ToolContext.h"
#include "net/Events.h"
#include "net/ProxyRules.h"
#include "net/ReportUrl.h"
#include "net/ToolConfig.h"

namespace {

std::string QueryValue(const std::string& url, const std::string& key) {
  size_t start = url.find(key + "=");
  if (start == std::string::npos) return "<missing>";
  start += key.size() + 1;
  return url.substr(start, url.find('&', start) - start);
}

TEST(Md5Hex, MatchesRfc1321Vectors) {
  EXPECT_EQ(Md5Hex(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Md5Hex("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Md5Hex("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(Md5Hex(std::string("a\0b", 3)), "70350F6027BCE3713F6B76473084309B");  // bytes, not a C string
}

TEST(BuildReportUrl, MatchesReferenceReceiverComputation) {
  // data: openssl enc -aes-128-cbc with the report key and a zero IV; token: MD5 of
  // "key&time&salt&payload", both computed outside this code base.
  const std::string payload = R"({"msgtype":"fixtool","action":"check"})";
  EXPECT_EQ(BuildReportUrl("https://stat.test", "fixtool", payload, "1700000000"),
            "https://stat.test/hm2.gif?msgtype=fixtool"
            "&data=C096E656B3E3785F635499AC6A05A009BEFA51E242A4FF7013221E5E5A64569925F9266ED65B2FCE7654AE6DB3D4D731"
            "&token=04B6C15A469E94CDF581E0EF3A69C535&time=1700000000");
}

TEST(BuildReportUrl, DataLengthFollowsPayloadLength) {
  struct Case {
    size_t payloadLength, dataDigits;
  } cases[] = {{1, 32}, {15, 32}, {16, 64}, {150, 320}, {160, 352}, {200, 416}};
  for (const Case& c : cases) {
    std::string url = BuildReportUrl("https://s", "fixtool", std::string(c.payloadLength, 'x'), "1");
    EXPECT_EQ(QueryValue(url, "data").size(), c.dataDigits) << c.payloadLength;
    EXPECT_EQ(QueryValue(url, "token").size(), 32u);
  }
}

TEST(BuildReportUrl, BlanksAroundThePayloadDoNotCount) {
  const std::string plain = R"({"a":"b"})";
  const std::string url = BuildReportUrl("https://s", "fixtool", plain, "1700000000");
  EXPECT_EQ(BuildReportUrl("https://s", "fixtool", "\t" + plain + " ", "1700000000"), url);
  EXPECT_EQ(BuildReportUrl("https://s", "fixtool", " \t" + plain + "\t\t", "1700000000"), url);
  // Same second, same payload: the same URL.
  EXPECT_EQ(BuildReportUrl("https://s", "fixtool", plain, "1700000000"), url);
  EXPECT_NE(BuildReportUrl("https://s", "fixtool", plain, "1700000001"), url);
}

TEST(BuildReportUrl, EmptyPayloadGivesEmptyUrl) {
  EXPECT_EQ(BuildReportUrl("https://s", "fixtool", "", "1700000000"), "");
}

TEST(EventToJson, ShapesKeepTheirMemberOrderCompactly) {
  EXPECT_EQ(EventToJson(ShortEvent{"m", "a", "u", "t", "g", "v"}),
            R"({"msgtype":"m","action":"a","um":"u","tt":"t","guid":"g","version":"v"})");
  EXPECT_EQ(EventToJson(RegisterEvent{"m", "a", "u", "t", "g", "v", "r"}),
            R"({"msgtype":"m","action":"a","um":"u","tt":"t","guid":"g","version":"v","register":"r"})");
  EXPECT_EQ(EventToJson(ResultEvent{"m", "a", "u", "t", "s", "h", "f", "g", "v"}),
            R"({"msgtype":"m","action":"a","um":"u","tt":"t","safesoft":"s","helper":"h","fp":"f","guid":"g","version":"v"})");
}

TEST(EventToJson, EscapesJsonSpecialsAndPassesCodePageBytes) {
  ShortEvent event{"q\"b\\", "\x01\n", "\xc4\xfa\xb5\xc4", "", "{6F9619FF-8B86-d011-B42D-00C04FC964FF}", "1.0.2.7"};
  EXPECT_EQ(EventToJson(event),
            "{\"msgtype\":\"q\\\"b\\\\\",\"action\":\"\\u0001\\n\",\"um\":\"\xc4\xfa\xb5\xc4\",\"tt\":\"\","
            "\"guid\":\"{6F9619FF-8B86-d011-B42D-00C04FC964FF}\",\"version\":\"1.0.2.7\"}");
}

TEST(ResultRules, CheckAndRepairSummaries) {
  struct Case {
    const char* name;
    std::vector<ReportProblem> problems;
    const char* checkFp;
    const char* checkHelper;
    const char* repairFp;
    const char* repairHelper;
  } cases[] = {
      {"no problems", {}, "-1", "-1", "-1", "-1"},
      {"outdated flash and not automatic", {{5, 0}, {7, 0}}, "1", "13", "1", "1"},
      {"stopped then missing: the last decides", {{2, 0}, {3, 0}}, "-1", "1", "-1", "1"},
      {"missing then stopped", {{3, 0}, {2, 0}}, "-1", "2", "-1", "1"},
      {"not automatic and stopped", {{8, 0}}, "-1", "2", "-1", "1"},
      {"manager unavailable", {{0, 0}}, "-1", "1", "-1", "1"},
      {"repaired flash and service", {{4, 2}, {8, 5}}, "1", "2", "0", "0"},
      {"service repair failed", {{4, 2}, {8, 3}}, "1", "2", "0", "1"},
      {"flash failed, service repaired", {{5, 3}, {7, 5}}, "1", "13", "1", "0"},
      {"flash state 5 is not a flash repair", {{4, 5}}, "1", "-1", "1", "-1"},
      {"service state 2 is not a service repair", {{3, 2}}, "-1", "1", "-1", "1"},
  };
  for (const Case& c : cases) {
    ResultFields check = CheckResultFields(c.problems);
    EXPECT_EQ(check.fp, c.checkFp) << c.name;
    EXPECT_EQ(check.helper, c.checkHelper) << c.name;
    ResultFields repair = RepairResultFields(c.problems);
    EXPECT_EQ(repair.fp, c.repairFp) << c.name;
    EXPECT_EQ(repair.helper, c.repairHelper) << c.name;
  }
}

TEST(MakeEventJson, EveryActionCarriesItsFields) {
  const ReportIdentity id{"ABCD", "{G}"};
  ReportArgs args{"1.0.2.7", {{5, 2}, {7, 3}}, 2, false};
  struct Case {
    ReportAction action;
    const char* json;
  } cases[] = {
      {ReportAction::Active, R"({"msgtype":"fixtool","action":"active","um":"ABCD","tt":"99","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::Check, R"({"msgtype":"fixtool","action":"check","um":"ABCD","tt":"99","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::Boot, R"({"msgtype":"fixtool","action":"boot","um":"ABCD","tt":"99","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::CheckResult,
       R"({"msgtype":"fixtool","action":"checkresult","um":"ABCD","tt":"99","safesoft":"0","helper":"13","fp":"1","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::RepairResult,
       R"({"msgtype":"fixtool","action":"repairresult","um":"ABCD","tt":"99","safesoft":"0","helper":"1","fp":"0","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::BootResult,
       R"({"msgtype":"fixtool","action":"bootresult","um":"ABCD","tt":"99","safesoft":"0","helper":"2","fp":"-1","guid":"{G}","version":"1.0.2.7"})"},
      {ReportAction::RegisterBoot,
       R"({"msgtype":"fixtool","action":"registerboot","um":"ABCD","tt":"99","guid":"{G}","version":"1.0.2.7","register":"0"})"},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeEventJson(c.action, args, id, "99"), c.json);

  args.registerChecked = true;
  EXPECT_NE(MakeEventJson(ReportAction::RegisterBoot, args, id, "99").find(R"("register":"1")"), std::string::npos);
  args.bootResult = 0;
  EXPECT_NE(MakeEventJson(ReportAction::BootResult, args, id, "99").find(R"("helper":"0","fp":"-1")"),
            std::string::npos);
}

TEST(DecodeToolConfig, RepliesDecodeByTheTable) {
  struct Case {
    const char* name;
    const char* reply;
    bool ok;
    ToolConfig expected;
  } cases[] = {
      {"commas", R"({"flashVersion":"32,0,0,171","helperVersion":"2,0,1,3","ip":"203.0.113.7","country":true})", true,
       {"203.0.113.7", "32.0.0.171", "2,0,1,3", true}},
      {"country false", R"({"country":false,"ip":"1.2.3.4"})", true, {"1.2.3.4", "", "", false}},
      {"country as number 0", R"({"country":0})", true, {"", "", "", true}},
      {"country as text", R"({"country":"no"})", true, {"", "", "", true}},
      {"country null", R"({"country":null})", true, {"", "", "", true}},
      {"wrong types give empty texts", R"({"flashVersion":32,"helperVersion":null,"ip":["x"]})", true, {}},
      {"missing helperVersion", R"({"flashVersion":"32.0.0.171","ip":"203.0.113.7"})", true,
       {"203.0.113.7", "32.0.0.171", "", false}},
      {"unknown keys ignored, case matters", R"({"IP":"1","FlashVersion":"2","extra":{"ip":"3"}})", true, {}},
      {"empty object", "{}", true, {}},
      {"array", R"([{"ip":"1"}])", false, {}},
      {"string root", R"("ip")", false, {}},
      {"html page", "<html><body>404 Not Found</body></html>", false, {}},
      {"truncated", R"({"ip":"1.2)", false, {}},
      {"trailing text", R"({"ip":"1"} x)", false, {}},
      {"empty text", "", false, {}},
  };
  for (const Case& c : cases) {
    // A record holding earlier values: it is cleared whatever the reply.
    ToolConfig config{"9.9.9.9", "1.1.1.1", "2.2.2.2", true};
    EXPECT_EQ(DecodeToolConfig(c.reply, config), c.ok) << c.name;
    EXPECT_EQ(config.ip, c.expected.ip) << c.name;
    EXPECT_EQ(config.flashVersion, c.expected.flashVersion) << c.name;
    EXPECT_EQ(config.helperVersion, c.expected.helperVersion) << c.name;
    EXPECT_EQ(config.country, c.expected.country) << c.name;
  }
}

// Nesting is bounded by a flat scan and an iterative parse: a hostile reply of any depth is
// "not a JSON object" (false, record cleared) instead of the end of the parsing thread.
TEST(DecodeToolConfig, DeepRepliesAreRefusedWithoutRecursion) {
  auto nested = [](const std::string& open, const std::string& close, int depth, const std::string& core) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += core;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
  };
  const std::string brackets(40000, '[');
  struct Case {
    const char* name;
    std::string reply;
    bool ok;
    const char* ip;
  } cases[] = {
      {"100 KB of nested arrays", nested("[", "]", 50000, ""), false, ""},
      {"nested objects 40000 deep", nested("{\"a\":", "}", 40000, "1"), false, ""},
      {"opened and never closed", brackets, false, ""},
      {"nested objects within the bound", R"({"ip":"1.2.3.4","x":)" + nested("{\"a\":", "}", 31, "1") + "}", true,
       "1.2.3.4"},
      {"one level past the bound", R"({"ip":"1.2.3.4","x":)" + nested("{\"a\":", "}", 32, "1") + "}", false, ""},
      {"brackets inside strings do not count", R"({"ip":"1.2.3.4","x":")" + brackets + R"(\"["})", true,
       "1.2.3.4"},
  };
  for (const Case& c : cases) {
    ToolConfig config{"9.9.9.9", "1.1.1.1", "2.2.2.2", true};
    EXPECT_EQ(DecodeToolConfig(c.reply, config), c.ok) << c.name;
    EXPECT_EQ(config.ip, c.ip) << c.name;
    EXPECT_EQ(config.flashVersion, "") << c.name;
    EXPECT_FALSE(config.country) << c.name;
  }
}

TEST(HttpsProxyFromList, TheHttpsEntryOrTheOneForEveryScheme) {
  struct Case {
    const char* list;
    const char* proxy;
  } cases[] = {
      {"", ""},
      {"proxy.corp:8080", "http://proxy.corp:8080"},
      {"http=web:80;https=secure:3128;ftp=f:21", "http://secure:3128"},
      {"HTTPS=secure:3128", "http://secure:3128"},
      {"http=web:80", ""},                            // plain HTTP only
      {"http=web:80 all:8000", "http://all:8000"},    // blanks separate too
      {"https=secure:1;any:2", "http://secure:1"},    // the scheme's own entry first
      {"https=http://secure:1", "http://secure:1"},   // a given scheme is kept
      {" ; ;", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(HttpsProxyFromList(c.list), c.proxy) << c.list;
}

TEST(HostBypassesProxy, LocalNamesAndWildcardPatterns) {
  struct Case {
    const char* host;
    const char* bypass;
    bool bypassed;
  } cases[] = {
      {"intranet", "<local>", true},
      {"api.quorvane.example", "<local>", false},
      {"api.quorvane.example", "*.quorvane.example", true},
      {"API.Quorvane.Example", "*.quorvane.example", true},
      {"quorvane.example", "*.quorvane.example", false},
      {"127.0.0.1", "10.*;127.0.0.*", true},
      {"127.0.0.1", "10.*, 192.168.*", false},
      {"www.quorvane.example", "https://www.quorvane.example:443", true},
      {"www.quorvane.example", "www.quorvane.example.evil", false},
      {"::1", "[::1]:443", false},  // hosts come without brackets, so bracketed entries name nothing here
      {"", "*", false},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*a*c", false},  // no run-away backtracking
  };
  for (const Case& c : cases) EXPECT_EQ(HostBypassesProxy(c.host, c.bypass), c.bypassed) << c.host << " / " << c.bypass;
}

TEST(ApplyToolConfig, ContextGetsIpAndDottedHelperVersionOnly) {
  ToolContext context;
  context.encryptedMac = "MAC";
  const ToolConfig config{"203.0.113.7", "32.0.0.171", "2,0,1,3", true};
  ApplyToolConfig(context, config);
  EXPECT_EQ(context.ip, "203.0.113.7");
  EXPECT_EQ(context.helperVersion, "2.0.1.3");  // the record is a const input: it keeps its commas
  EXPECT_EQ(context.encryptedMac, "MAC");
  EXPECT_EQ(context.machineGuid, "-1");

  ApplyToolConfig(context, ToolConfig{});  // a reply of {} empties both
  EXPECT_EQ(context.ip, "");
  EXPECT_EQ(context.helperVersion, "");
}

}  // namespace
