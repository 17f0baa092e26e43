// The base of both wizard windows: a skinned window read from the installer's skin folder,
// whose bound controls run script functions and whose progress bar counts on its own.
#pragma once

#include <map>
#include <string>

#include "plugin/PlugRules.h"
#include "plugin/PlugWindow.h"
#include "ui/DuiLib.h"

namespace plug {

// Native timers of the wizard windows (the manager's control timers use ids from 0x1000 on).
constexpr UINT_PTR kProgressTimer = 11;
constexpr UINT_PTR kFinishPageTimer = 12;
constexpr UINT kWizardTimerMs = 50;

class CQuorvanePlugBaseWnd : public DuiLib::WindowImplBase, public IPlugWindow {
 public:
  explicit CQuorvanePlugBaseWnd(std::wstring skinFile) : skinFile_(std::move(skinFile)) {}

  std::wstring SkinFile() override { return skinFile_; }
  DuiLib::SkinSourceType SkinSource() override { return DuiLib::SkinSourceType::File; }
  std::wstring SkinPackageName() override { return std::wstring(); }

  // The control of this window's manager with exactly that name, or nullptr.
  virtual DuiLib::CControlUI* FindControl(const std::wstring& name);
  // Binds a control name to a script function; a later bind of the same name replaces it.
  virtual void BindScript(const std::wstring& name, int address) override;
  // Pushes the progress ahead (values at or below the counter are ignored).
  virtual void SetProgressValue(int value) override;

  // A double click on the caption band would maximise the window: swallowed.
  LRESULT RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The window object lives exactly as long as its native window.
  void OnWindowDestroyed(HWND window) override;
  void OnSkinReady() override;
  void OnNotification(DuiLib::NotifyRecord& msg) override;
  LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // IPlugWindow
  HWND Handle() const override { return GetHWND(); }
  bool HasControl(const std::wstring& name) override { return FindControl(name) != nullptr; }
  bool GetControlText(const std::wstring& name, std::wstring* text) override;
  bool SetControlText(const std::wstring& name, const std::wstring& text) override;

 protected:
  // Looks up the skin's required controls; false when one is missing or of the wrong kind.
  virtual bool FindRequiredControls() = 0;
  // The progress label's format with its one %d.
  virtual const wchar_t* ProgressFormat() const = 0;
  // Clicks a window handles before the bindings; true when handled.
  virtual bool OnOwnClick(DuiLib::NotifyRecord& msg) {
    (void)msg;
    return false;
  }

  // Found at start-up by FindRequiredControls.
  DuiLib::CTabLayoutUI* tab_ = nullptr;
  DuiLib::CControlUI* progressLabel_ = nullptr;
  DuiLib::CProgressUI* progressBar_ = nullptr;

  // Selects page 1 and starts the counting timer (the installing/uninstalling page message).
  void ShowWorkingPage();
  void OnProgressTick();
  void ShowProgress(const WizardProgress::Step& step);
  WizardProgress progress_;
  // The required controls were all found.
  bool IsReady() const { return ready_; }

 private:
  std::wstring skinFile_;
  std::map<std::wstring, int> bindings_;
  bool ready_ = false;
};

} // namespace plug
