#include <gtest/gtest.h>

#include "app/RunMode.h"

TEST(ChooseRunMode, Words) {
  struct Case {
    const wchar_t* commandLine;
    RunMode mode;
  } cases[] = {
      {L"", RunMode::Interactive},
      {L"runservice", RunMode::Launcher},
      {L"-runservice", RunMode::Launcher},
      {L"xrunservicex", RunMode::Launcher},
      {L"RUNHIDE", RunMode::Interactive},
      {L"runhide", RunMode::BootRepair},
      {L"UninstallServ runhide", RunMode::BootRepair},
      {L"runhide runservice", RunMode::Launcher},
      {L"UninstallServ", RunMode::RemoveService},
      {L"uninstallserv", RunMode::Interactive},
      {L"\"C:\\Program Files\\Quorvane\\Quorvane.exe\" -runservice", RunMode::Launcher},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseRunMode(c.commandLine), c.mode) << "command line: " << testing::PrintToString(std::wstring(c.commandLine));
}
