#include "app/RunMode.h"

namespace {

struct ModeWord {
  const wchar_t* word;
  RunMode mode;
};

// Order matters: a command line holding two words takes the mode of the earlier row.
constexpr ModeWord kModeWords[] = {
    {L"runservice", RunMode::Launcher},
    {L"runhide", RunMode::BootRepair},
    {L"UninstallServ", RunMode::RemoveService},
};

}  // namespace

RunMode ChooseRunMode(const std::wstring& commandLine) {
  for (const ModeWord& row : kModeWords)
    if (commandLine.find(row.word) != std::wstring::npos) return row.mode;
  return RunMode::Interactive;
}
