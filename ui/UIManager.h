// CSkinManager: the per-window owner of a control tree, its fonts, images, default attribute
// lists and window-wide values, and the router of the window's input to its controls.
// The static part is the process-wide skin root shared by all windows.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/UIDefs.h"
#include "ui/core/SkinSource.h"
#include "ui/render/ImageEntry.h"

namespace DuiLib {

class CShadowUI;

// One entry of a window's font table.
struct FontEntry {
  std::wstring face;
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  HFONT font = nullptr;
};

class CSkinManager {
 public:
  CSkinManager();
  ~CSkinManager();
  CSkinManager(const CSkinManager&) = delete;
  CSkinManager& operator=(const CSkinManager&) = delete;

  // --- Process-wide skin root -------------------------------------------------------------
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // Resources are looked up here when set, else in the instance module.
  static void SetResourceInstance(HINSTANCE instance);
  static HINSTANCE GetResourceInstance();
  // Folder of the instance module with a trailing backslash.
  static std::wstring GetInstancePath();
  static void SetSkinRootPath(const std::wstring& path);
  static std::wstring GetSkinRootPath();
  static bool OpenSkinPackage(const std::wstring& fileName);
  static bool OpenSkinPackageFromMemory(const void* data, size_t size);
  // Runs the thread's message loop until WM_QUIT.
  static void MessageLoop();

  // --- Window binding -----------------------------------------------------------------------
  void Init(HWND window);
  // The native window is gone: forget focus, hover, click and timers (the tree stays until
  // the manager is destroyed).
  void OnWindowGone();
  HWND GetPaintWindow() const { return window_; }
  POINT GetMousePos() const { return mousePos_; }
  // Menus use their owner's colours and default lists: lookups walk up to the topmost parent.
  void SetParentManager(CSkinManager* parent) { parent_ = parent; }
  CSkinManager* GetParentManager() const { return parent_; }

  // --- Window element values (root Window attributes) --------------------------------------
  void ApplyWindowAttribute(const std::wstring& name, const std::wstring& value);
  SIZE GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy);
  const RECT& GetSizeBox() const { return sizeBox_; }
  const RECT& GetCaptionRect() const { return caption_; }
  SIZE GetRoundCorner() const { return roundCorner_; }
  SIZE GetMinInfo() const { return minInfo_; }
  SIZE GetMaxInfo() const { return maxInfo_; }
  bool IsBackgroundTransparent() const { return bkTrans_; }
  BYTE GetWindowAlpha() const { return alpha_; }
  bool IsShowShadow() const { return showShadow_; }
  const std::wstring& GetShadowImage() const { return shadowImage_; }
  const RECT& GetShadowCorner() const { return shadowCorner_; }
  CShadowUI* GetShadow() const { return shadow_.get(); }
  DWORD GetDefaultFontColor() const;
  DWORD GetDefaultDisabledColor() const;
  DWORD GetDefaultLinkFontColor() const;
  DWORD GetDefaultLinkHoverFontColor() const;
  DWORD GetDefaultSelectedBkColor() const;

  // --- Fonts --------------------------------------------------------------------------------
  // Appends to the table; returns the new index, or -1 when the font cannot be made.
  int AddFont(const std::wstring& face, int size, bool bold, bool underline, bool italic);
  void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic);
  int GetFontCount() const { return static_cast<int>(fonts_.size()); }
  // The font at `index`; the default font for an index outside the table.
  HFONT GetFont(int index) const;
  const FontEntry& GetFontInfo(int index) const;

  // --- Images -------------------------------------------------------------------------------
  // Loaded on first use and kept; failures are not cached (nullptr).
  const ImageEntry* GetImage(const std::wstring& name);
  const ImageEntry* AddImage(const std::wstring& name, const std::wstring& resType = std::wstring(),
                             DWORD mask = 0);
  // Draws an image string (with an optional modifying string) into `dest` clipped to `paint`.
  bool DrawImageString(HDC dc, const RECT& dest, const RECT& paint, const std::wstring& image,
                       const std::wstring& modify = std::wstring());

  // --- Default attribute lists --------------------------------------------------------------
  // The first list stored for a name wins.
  void AddDefaultAttributeList(const std::wstring& elementName, const std::wstring& list);
  // Looks in this manager, then its parents; nullptr when none is stored.
  const std::wstring* GetDefaultAttributeList(const std::wstring& elementName) const;

  // --- Control tree ---------------------------------------------------------------------------
  // Clears focus, hover and click controls, schedules the previous root for deletion,
  // attaches every control, fills the name map, creates the shadow, schedules the first layout.
  bool AttachRoot(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // Called by CControlUI::SetManager for every control joining the tree.
  void InitControl(CControlUI* control);
  // Forgets a control leaving the tree (focus, hover, click, timers, name entry).
  void ReapControl(CControlUI* control);
  // Destroys `control` once the current message has been handled (now when none is running).
  void DelayedDestroy(CControlUI* control);
  CControlUI* FindControl(const std::wstring& name) const;
  // The deepest visible, mouse-accepting control at a client point, or nullptr.
  CControlUI* FindControl(POINT pt) const;
  void NeedUpdate() { updateNeeded_ = true; }
  void Invalidate(const RECT& rc);

  // --- Notifications and filters --------------------------------------------------------------
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  void SendNotify(CControlUI* sender, const std::wstring& type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false);
  void SendNotify(NotifyRecord& msg, bool async = false);

  // --- Focus, capture, timers ---------------------------------------------------------------------
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  CControlUI* GetHover() const { return hover_; }
  bool SetTimer(CControlUI* control, UINT localId, UINT elapseMs);
  bool KillTimer(CControlUI* control, UINT localId);
  void KillTimers(CControlUI* control);

  // --- Message handling -------------------------------------------------------------------------
  // Queued notifications, then the pre-filters, then the manager's own handling.
  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Marks a window message in progress: controls removed meanwhile are destroyed when the
  // outermost scope ends.
  class MessageScope {
   public:
    explicit MessageScope(CSkinManager& manager);
    ~MessageScope();
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;

   private:
    CSkinManager& manager_;
  };

 private:
  struct TimerEntry {
    CControlUI* control;
    UINT localId;
    UINT_PTR nativeId;
  };

  const CSkinManager* Topmost() const;
  void Paint();
  void LayoutIfNeeded();
  void FillNameMap();
  bool HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  void HandleMouseMove(POINT pt);
  void SendEvent(CControlUI* control, int kind, WPARAM wParam = 0, LPARAM lParam = 0);
  void FlushAsyncNotify();
  void FlushDelayedDestroy();
  WORD KeyState() const;

  HWND window_ = nullptr;
  CSkinManager* parent_ = nullptr;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hover_ = nullptr;
  CControlUI* click_ = nullptr;
  POINT mousePos_{-1, -1};
  bool mouseTracking_ = false;
  bool updateNeeded_ = false;
  bool firstLayout_ = true;
  bool windowInitSent_ = false;
  int messageDepth_ = 0;

  std::map<std::wstring, CControlUI*> names_;
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preFilters_;
  std::vector<TimerEntry> timers_;
  UINT_PTR nextTimerId_ = 0x1000;
  std::vector<NotifyRecord> asyncNotify_;
  std::vector<CControlUI*> delayedDestroy_;

  SIZE initSize_{};
  RECT sizeBox_{};
  RECT caption_{};
  SIZE roundCorner_{};
  SIZE minInfo_{};
  SIZE maxInfo_{};
  bool bkTrans_ = false;
  BYTE alpha_ = 255;
  bool showShadow_ = false;
  std::wstring shadowImage_;
  RECT shadowCorner_{};
  std::unique_ptr<CShadowUI> shadow_;
  DWORD defaultFontColor_ = 0xFF000001;
  DWORD defaultDisabledColor_ = 0xFFA7A6AA;
  DWORD linkFontColor_ = 0xFF0000FF;
  DWORD linkHoverFontColor_ = 0xFFD3215F;
  DWORD selectedBkColor_ = 0xFFBAE4FF;

  std::vector<FontEntry> fonts_;
  FontEntry defaultFont_;
  bool ownsDefaultFont_ = false;
  std::map<std::wstring, std::unique_ptr<ImageEntry>> images_;
  std::map<std::wstring, std::wstring> defaultLists_;
};

}  // namespace DuiLib
