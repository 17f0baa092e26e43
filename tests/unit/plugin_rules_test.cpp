#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "plugin/PlugRules.h"

namespace {

TEST(PlugMessageNames, TableIsCaseInsensitiveAndExact) {
  struct Case {
    const wchar_t* name;
    unsigned expected;
  };
  const Case cases[] = {
      {L"WM_SETMINIMIZE", 2133},
      {L"wm_setminimize", 2133},
      {L"WM_INSTALL_SHOW_INSTALLING_PAGE", 2027},
      {L"wm_Install_Show_Installing_Page", 2027},
      {L"WM_UNINSTALL_SHOW_UNINSTALLING_PAGE", 2125},
      {L"WM_UNINSTALL_SHOW_FINISH_PAGE", 2129},
      {L"WM_UNINSTALL_SHOW_FINSH_PAGE", 0},   // misspelt
      {L"WM_SETMINIMIZE ", 0},                // trailing blank
      {L"WM_SETMINIMIZ", 0},                  // prefix only
      {L"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(plug::FindPlugMessage(c.name), c.expected) << std::string(c.name, c.name + wcslen(c.name));
}

TEST(InstallDirRule, OneTrailingBackslashGoesThenQuorvaneIsAppended) {
  struct Case {
    const wchar_t* chosen;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"D:\\", L"D:\\Quorvane\\"},
      {L"D:\\Games", L"D:\\Games\\Quorvane\\"},
      {L"D:\\Games\\", L"D:\\Games\\Quorvane\\"},
      {L"C:\\Program Files (x86)", L"C:\\Program Files (x86)\\Quorvane\\"},
      {L"\\\\server\\share\\", L"\\\\server\\share\\Quorvane\\"},
      {L"E:\\游戏", L"E:\\游戏\\Quorvane\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(plug::InstallDirForChosenFolder(c.chosen), c.expected);
}

TEST(StackIntegers, ReadLikeAtoi) {
  struct Case {
    const wchar_t* text;
    int expected;
  };
  const Case cases[] = {
      {L"", 0},          {L"abc", 0},       {L"60", 60},          {L"-1", -1},
      {L"  42", 42},     {L"+7", 7},        {L"12px", 12},        {L"007", 7},
      {L"99999999999999999999", INT_MAX}, {L"-99999999999999999999", INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(plug::StackTextToInt(c.text), c.expected);
}

// Runs the counter through the timer alone: labels 1..99, then the timer stops at 99%.
TEST(WizardProgressCounter, TimerAloneCountsToNinetyNineAndStops) {
  plug::WizardProgress progress;
  int lastShown = -1, ticks = 0;
  for (;;) {
    plug::WizardProgress::Step step = progress.Tick();
    ++ticks;
    if (step.stopTimer) {
      EXPECT_FALSE(step.showText);
      break;
    }
    ASSERT_TRUE(step.showText && step.setBar);
    EXPECT_EQ(step.value, lastShown + (lastShown < 0 ? 2 : 1));
    lastShown = step.value;
  }
  EXPECT_EQ(lastShown, 99);
  EXPECT_EQ(ticks, 100);
  EXPECT_EQ(progress.Counter(), 100);
}

TEST(WizardProgressCounter, PushedValueJumpsAheadAndTimerContinuesFromIt) {
  plug::WizardProgress progress;
  for (int i = 0; i < 40; ++i) progress.Tick();
  plug::WizardProgress::Step jump = progress.SetValue(60, 40);
  EXPECT_TRUE(jump.showText);
  EXPECT_TRUE(jump.setBar);
  EXPECT_EQ(jump.value, 60);
  plug::WizardProgress::Step next = progress.Tick();
  EXPECT_EQ(next.value, 61);
}

TEST(WizardProgressCounter, ValuesAtOrBelowTheCounterAreIgnored) {
  plug::WizardProgress progress;
  for (int i = 0; i < 30; ++i) progress.Tick();
  for (int v : {30, 29, 0, -5}) {
    plug::WizardProgress::Step step = progress.SetValue(v, 30);
    EXPECT_FALSE(step.showText || step.setBar || step.stopTimer) << v;
  }
  EXPECT_EQ(progress.Counter(), 30);
}

TEST(WizardProgressCounter, AboveHundredChangesTextOnlyAndTimerStopsNextTick) {
  plug::WizardProgress progress;
  for (int i = 0; i < 40; ++i) progress.Tick();
  plug::WizardProgress::Step step = progress.SetValue(120, 40);
  EXPECT_TRUE(step.showText);
  EXPECT_FALSE(step.setBar);
  EXPECT_EQ(step.value, 120);
  EXPECT_TRUE(progress.Tick().stopTimer);
  // INT_MAX must not overflow on the following tick.
  progress.SetValue(INT_MAX, 100);
  EXPECT_TRUE(progress.Tick().stopTimer);
}

TEST(WizardProgressCounter, BarUntouchedWhenItAlreadyHoldsTheValue) {
  plug::WizardProgress progress;
  plug::WizardProgress::Step step = progress.SetValue(50, 50);
  EXPECT_TRUE(step.showText);
  EXPECT_FALSE(step.setBar);
  progress.Reset();
  EXPECT_EQ(progress.Counter(), 0);
  EXPECT_EQ(progress.Tick().value, 1);
}

} // namespace
