// The plug-in's rules that need no window and no installer: the message-name table, the
// install-folder text, integers on the string stack, the buffer limits and the wizard's
// progress counter. Platform-free so the host build runs them under the sanitizers.
#pragma once

#include <cstddef>
#include <string>

namespace plug {

// Sizes of the fixed buffers the exports pop into, in characters of the stack's text (bytes in
// the ANSI plug-in). A longer text is cut to the limit, never written past it.
constexpr size_t kKindLimit = 9;       // InitWnd: window kind
constexpr size_t kSkinPathLimit = 511; // InitWnd: skin folder and skin file
constexpr size_t kNameLimit = 259;     // control names, folder texts, message names and texts
constexpr size_t kIntegerLimit = 511;  // integer texts
// GetInstallDir hands back at most this many characters of the control's text.
constexpr size_t kInstallDirLimit = 259;

// Window messages the script may send by name through nsDuiSendMessage.
constexpr unsigned kMsgInstallShowInstalling = 2027;   // 0x7EB
constexpr unsigned kMsgUninstallShowUninstalling = 2125; // 0x84D
constexpr unsigned kMsgUninstallShowFinish = 2129;     // 0x851
constexpr unsigned kMsgSetMinimize = 2133;             // 0x855

// The number of a message name, compared without regard to (ASCII) case; 0 for a name the
// table does not hold.
unsigned FindPlugMessage(const std::wstring& name);

// The folder proposed after the user picked `chosen` in the folder chooser: one trailing
// backslash removed (D:\ becomes D:), then "\Quorvane\" appended.
std::wstring InstallDirForChosenFolder(const std::wstring& chosen);

// Decimal text from the stack as the C library's atoi reads it: leading blanks, a sign, digits
// up to the first non-digit; empty or non-numeric text is 0. Values beyond 32 bits saturate.
int StackTextToInt(const std::wstring& text);

// ASCII-only case-insensitive equality, as the kind and message names are compared.
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// The wizard's progress counter. The page message starts a 50 ms timer that counts on its own;
// the installer may push it ahead with SetProgressValue.
//
//   event            | condition            | counter | label shows | bar     | timer
//   -----------------+----------------------+---------+-------------+---------+---------------
//   tick             | counter + 1 < 100    | +1      | counter     | counter | runs
//   tick             | counter + 1 >= 100   | 100     | unchanged   | unchanged | stops
//   SetValue(v)      | v <= counter         | same    | unchanged   | unchanged | unchanged
//   SetValue(v)      | v > counter, v <= 100| v       | v           | v       | unchanged
//   SetValue(v)      | v > 100              | v       | v           | unchanged | stops next tick
//   Reset            |                      | 0       | unchanged   | unchanged | unchanged
class WizardProgress {
 public:
  struct Step {
    bool showText = false; // the label takes `value`
    bool setBar = false;   // the bar takes `value`
    bool stopTimer = false;
    int value = 0;
  };

  Step Tick();
  // `barValue` is the bar's current value: the bar is only touched when the value changes.
  Step SetValue(int value, int barValue);
  void Reset() { counter_ = 0; }
  int Counter() const { return counter_; }

 private:
  int counter_ = 0;
};

} // namespace plug
