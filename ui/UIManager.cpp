// CSkinManager: skin root, window values, fonts, images, default lists, the control tree,
// notifications and timers. Message handling is in UIManagerMessages.cpp.
#include "ui/UIManager.h"

#include <algorithm>

#include "ui/UIShadow.h"
#include "ui/controls/AttributeTable.h"
#include "ui/controls/UIControl.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"
#include "ui/render/SkinModule.h"

namespace DuiLib {

namespace {

RECT ToWin(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
SIZE ToWin(const Size& s) { return SIZE{s.cx, s.cy}; }

HFONT MakeFont(const std::wstring& face, int size, bool bold, bool underline, bool italic) {
  LOGFONTW lf{};
  lf.lfHeight = -size;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  // Face names hold at most 31 characters.
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&lf);
}

FontEntry SystemDefaultFont() {
  FontEntry entry;
  entry.font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW lf{};
  if (::GetObjectW(entry.font, sizeof(lf), &lf) != 0) {
    entry.face = lf.lfFaceName;
    entry.size = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    entry.bold = lf.lfWeight >= FW_BOLD;
    entry.underline = lf.lfUnderline != 0;
    entry.italic = lf.lfItalic != 0;
  }
  return entry;
}

CControlUI* ReapOne(CControlUI* control, void* data) {
  static_cast<CSkinManager*>(data)->ReapControl(control);
  return nullptr;
}

}  // namespace

// --- Process-wide skin root ---------------------------------------------------------------------

void CSkinManager::SetInstance(HINSTANCE instance) { SetSkinInstance(instance); }
HINSTANCE CSkinManager::GetInstance() { return GetSkinInstance(); }
void CSkinManager::SetResourceInstance(HINSTANCE instance) { SetSkinResourceModule(instance); }
HINSTANCE CSkinManager::GetResourceInstance() { return GetSkinResourceModule(); }
std::wstring CSkinManager::GetInstancePath() { return GetSkinInstancePath(); }
void CSkinManager::SetSkinRootPath(const std::wstring& path) { DuiLib::SetSkinRootPath(path); }
std::wstring CSkinManager::GetSkinRootPath() { return DuiLib::GetSkinRootPath(); }
bool CSkinManager::OpenSkinPackage(const std::wstring& fileName) { return OpenSkinPackageFile(fileName); }

bool CSkinManager::OpenSkinPackageFromMemory(const void* data, size_t size) {
  return OpenSkinPackageMemory(static_cast<const uint8_t*>(data), size);
}

void CSkinManager::MessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// --- Life ---------------------------------------------------------------------------------------

CSkinManager::CSkinManager() : defaultFont_(SystemDefaultFont()) {}

CSkinManager::~CSkinManager() {
  shadow_.reset();
  delete root_;
  root_ = nullptr;
  FlushDelayedDestroy();
  for (const TimerEntry& timer : timers_) {
    if (window_ != nullptr) ::KillTimer(window_, timer.nativeId);
  }
  for (FontEntry& font : fonts_) ::DeleteObject(font.font);
  if (ownsDefaultFont_) ::DeleteObject(defaultFont_.font);
}

void CSkinManager::Init(HWND window) { window_ = window; }

void CSkinManager::OnWindowGone() {
  focus_ = hover_ = click_ = nullptr;
  timers_.clear();
  if (root_ != nullptr && !root_->GetName().empty()) names_.erase(root_->GetName());
  window_ = nullptr;
}

const CSkinManager* CSkinManager::Topmost() const {
  const CSkinManager* top = this;
  while (top->parent_ != nullptr) top = top->parent_;
  return top;
}

// --- Window element values --------------------------------------------------------------------

void CSkinManager::ApplyWindowAttribute(const std::wstring& name, const std::wstring& value) {
  using M = CSkinManager;
  static const AttributeHandler<M> kTable[] = {
      {L"size", [](M& m, const std::wstring& v) { Size s = ParseSize(v.c_str()); m.SetInitSize(s.cx, s.cy); }},
      {L"caption", [](M& m, const std::wstring& v) { m.caption_ = ToWin(ParseRect(v.c_str())); }},
      {L"showshadow", [](M& m, const std::wstring& v) { m.showShadow_ = ParseBool(v.c_str()); }},
      {L"shadowimage", [](M& m, const std::wstring& v) { m.shadowImage_ = v; }},
      {L"shadowcorner", [](M& m, const std::wstring& v) { m.shadowCorner_ = ToWin(ParseRect(v.c_str())); }},
      {L"bktrans", [](M& m, const std::wstring& v) { m.bkTrans_ = ParseBool(v.c_str()); }},
      {L"sizebox", [](M& m, const std::wstring& v) { m.sizeBox_ = ToWin(ParseRect(v.c_str())); }},
      {L"roundcorner", [](M& m, const std::wstring& v) { m.roundCorner_ = ToWin(ParseSize(v.c_str())); }},
      {L"mininfo", [](M& m, const std::wstring& v) { m.minInfo_ = ToWin(ParseSize(v.c_str())); }},
      {L"maxinfo", [](M& m, const std::wstring& v) { m.maxInfo_ = ToWin(ParseSize(v.c_str())); }},
      {L"alpha",
       [](M& m, const std::wstring& v) {
         m.alpha_ = static_cast<BYTE>(std::clamp(ParseInt(v.c_str()), 0, 255));
         if (m.window_ != nullptr && m.alpha_ < 255) {
           ::SetWindowLongW(m.window_, GWL_EXSTYLE, ::GetWindowLongW(m.window_, GWL_EXSTYLE) | WS_EX_LAYERED);
           ::SetLayeredWindowAttributes(m.window_, 0, m.alpha_, LWA_ALPHA);
         }
       }},
      {L"disabledfontcolor", [](M& m, const std::wstring& v) { m.defaultDisabledColor_ = ParseColor(v.c_str()); }},
      {L"defaultfontcolor", [](M& m, const std::wstring& v) { m.defaultFontColor_ = ParseColor(v.c_str()); }},
      {L"linkfontcolor", [](M& m, const std::wstring& v) { m.linkFontColor_ = ParseColor(v.c_str()); }},
      {L"linkhoverfontcolor", [](M& m, const std::wstring& v) { m.linkHoverFontColor_ = ParseColor(v.c_str()); }},
      {L"selectedcolor", [](M& m, const std::wstring& v) { m.selectedBkColor_ = ParseColor(v.c_str()); }},
  };
  // shadowsize, shadowsharpness, shadowdarkness, shadowposition, shadowcolor (the drawn
  // shadow) and gdiplustext are recognised by the skins' authors but change nothing here.
  ApplyFromTable(kTable, *this, name, value);
}

void CSkinManager::SetInitSize(int cx, int cy) {
  initSize_ = SIZE{cx, cy};
  if (window_ != nullptr && root_ == nullptr) {
    ::SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

DWORD CSkinManager::GetDefaultFontColor() const { return Topmost()->defaultFontColor_; }
DWORD CSkinManager::GetDefaultDisabledColor() const { return Topmost()->defaultDisabledColor_; }
DWORD CSkinManager::GetDefaultLinkFontColor() const { return Topmost()->linkFontColor_; }
DWORD CSkinManager::GetDefaultLinkHoverFontColor() const { return Topmost()->linkHoverFontColor_; }
DWORD CSkinManager::GetDefaultSelectedBkColor() const { return Topmost()->selectedBkColor_; }

// --- Fonts ----------------------------------------------------------------------------------------

int CSkinManager::AddFont(const std::wstring& face, int size, bool bold, bool underline, bool italic) {
  HFONT font = MakeFont(face, size, bold, underline, italic);
  if (font == nullptr) return -1;
  fonts_.push_back(FontEntry{face.substr(0, LF_FACESIZE - 1), size, bold, underline, italic, font});
  return static_cast<int>(fonts_.size()) - 1;
}

void CSkinManager::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic) {
  HFONT font = MakeFont(face, size, bold, underline, italic);
  if (font == nullptr) return;
  if (ownsDefaultFont_) ::DeleteObject(defaultFont_.font);
  defaultFont_ = FontEntry{face.substr(0, LF_FACESIZE - 1), size, bold, underline, italic, font};
  ownsDefaultFont_ = true;
}

HFONT CSkinManager::GetFont(int index) const { return GetFontInfo(index).font; }

const FontEntry& CSkinManager::GetFontInfo(int index) const {
  if (index < 0 || index >= static_cast<int>(fonts_.size())) return defaultFont_;
  return fonts_[index];
}

// --- Images ---------------------------------------------------------------------------------------

const ImageEntry* CSkinManager::GetImage(const std::wstring& name) {
  auto it = images_.find(name);
  if (it != images_.end()) return it->second.get();
  return AddImage(name);
}

const ImageEntry* CSkinManager::AddImage(const std::wstring& name, const std::wstring& resType, DWORD mask) {
  if (name.empty()) return nullptr;
  auto it = images_.find(name);
  if (it != images_.end()) return it->second.get();
  std::unique_ptr<ImageEntry> image = LoadSkinImage(name, resType.empty() ? nullptr : resType.c_str(), mask);
  if (image == nullptr) return nullptr;  // failures are tried again on the next use
  const ImageEntry* kept = image.get();
  images_.emplace(name, std::move(image));
  return kept;
}

bool CSkinManager::DrawImageString(HDC dc, const RECT& dest, const RECT& paint, const std::wstring& image,
                                   const std::wstring& modify) {
  ImageResolver resolve = [this](const ImageDrawSpec& spec) -> const ImageEntry* {
    return AddImage(spec.name, spec.from_resource ? spec.res_type : std::wstring(), spec.mask);
  };
  return ::DuiLib::DrawImageString(dc, FromRECT(dest), FromRECT(paint), image.c_str(),
                                   modify.empty() ? nullptr : modify.c_str(), resolve, bkTrans_);
}

// --- Default attribute lists ---------------------------------------------------------------------

void CSkinManager::AddDefaultAttributeList(const std::wstring& elementName, const std::wstring& list) {
  defaultLists_.emplace(elementName, list);  // keeps the first list stored for a name
}

const std::wstring* CSkinManager::GetDefaultAttributeList(const std::wstring& elementName) const {
  for (const CSkinManager* manager = this; manager != nullptr; manager = manager->parent_) {
    auto it = manager->defaultLists_.find(elementName);
    if (it != manager->defaultLists_.end()) return &it->second;
  }
  return nullptr;
}

// --- Control tree ------------------------------------------------------------------------------------

bool CSkinManager::AttachRoot(CControlUI* root) {
  if (root == nullptr) return false;
  focus_ = hover_ = click_ = nullptr;
  if (root_ != nullptr && root_ != root) DelayedDestroy(root_);
  root_ = root;
  names_.clear();
  // Children join before their container, so a repeated name maps to the control visited last.
  root_->SetManager(this, nullptr, true);
  if (showShadow_ && window_ != nullptr && shadow_ == nullptr) {
    shadow_ = std::make_unique<CShadowUI>();
    if (!shadow_->Create(this)) shadow_.reset();
  }
  firstLayout_ = true;
  windowInitSent_ = false;
  updateNeeded_ = true;
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
  return true;
}

void CSkinManager::InitControl(CControlUI* control) {
  control->DoInit();
  if (!control->GetName().empty()) names_[control->GetName()] = control;
}

void CSkinManager::ReapControl(CControlUI* control) {
  if (focus_ == control) focus_ = nullptr;
  if (hover_ == control) hover_ = nullptr;
  if (click_ == control) click_ = nullptr;
  KillTimers(control);
  for (auto it = names_.begin(); it != names_.end();) {
    it = it->second == control ? names_.erase(it) : std::next(it);
  }
}

void CSkinManager::DelayedDestroy(CControlUI* control) {
  if (control == nullptr) return;
  control->FindControl(ReapOne, this, CControlUI::FIND_ALL);
  if (messageDepth_ == 0) {
    delete control;
  } else {
    delayedDestroy_.push_back(control);
  }
}

void CSkinManager::FlushDelayedDestroy() {
  while (!delayedDestroy_.empty()) {
    std::vector<CControlUI*> batch;
    batch.swap(delayedDestroy_);
    for (CControlUI* control : batch) delete control;
  }
}

CSkinManager::MessageScope::MessageScope(CSkinManager& manager) : manager_(manager) { ++manager_.messageDepth_; }

CSkinManager::MessageScope::~MessageScope() {
  if (--manager_.messageDepth_ == 0) manager_.FlushDelayedDestroy();
}

CControlUI* CSkinManager::FindControl(const std::wstring& name) const {
  auto it = names_.find(name);
  return it == names_.end() ? nullptr : it->second;
}

CControlUI* CSkinManager::FindControl(POINT pt) const {
  if (root_ == nullptr) return nullptr;
  return root_->FindControl([](CControlUI* control, void*) { return control; }, &pt,
                            CControlUI::FIND_VISIBLE | CControlUI::FIND_HITTEST);
}

void CSkinManager::Invalidate(const RECT& rc) {
  if (window_ != nullptr) ::InvalidateRect(window_, &rc, FALSE);
}

// --- Notifications -------------------------------------------------------------------------------------

bool CSkinManager::AddNotifier(INotifyUI* notifier) {
  if (notifier == nullptr || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) {
    return false;
  }
  notifiers_.push_back(notifier);
  return true;
}

bool CSkinManager::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

bool CSkinManager::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (filter == nullptr || std::find(preFilters_.begin(), preFilters_.end(), filter) != preFilters_.end()) {
    return false;
  }
  preFilters_.push_back(filter);
  return true;
}

bool CSkinManager::RemovePreMessageFilter(IMessageFilterUI* filter) {
  auto it = std::find(preFilters_.begin(), preFilters_.end(), filter);
  if (it == preFilters_.end()) return false;
  preFilters_.erase(it);
  return true;
}

void CSkinManager::SendNotify(CControlUI* sender, const std::wstring& type, WPARAM wParam, LPARAM lParam,
                              bool async) {
  NotifyRecord msg;
  msg.type = type;
  msg.sender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

void CSkinManager::SendNotify(NotifyRecord& msg, bool async) {
  msg.timestamp = ::GetTickCount();
  msg.mouse = mousePos_;
  if (async) {
    asyncNotify_.push_back(msg);
    return;
  }
  // A notifier may remove itself (or others) while it runs.
  std::vector<INotifyUI*> notifiers = notifiers_;
  for (INotifyUI* notifier : notifiers) {
    if (std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) notifier->OnNotification(msg);
  }
}

void CSkinManager::FlushAsyncNotify() {
  while (!asyncNotify_.empty()) {
    std::vector<NotifyRecord> queued;
    queued.swap(asyncNotify_);
    for (NotifyRecord& msg : queued) {
      std::vector<INotifyUI*> notifiers = notifiers_;
      for (INotifyUI* notifier : notifiers) notifier->OnNotification(msg);
    }
  }
}

// --- Focus and timers ---------------------------------------------------------------------------------

void CSkinManager::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (focus_ != nullptr) {
    CControlUI* losing = focus_;
    focus_ = nullptr;
    SendEvent(losing, UIEVENT_KILLFOCUS);
    SendNotify(losing, L"killfocus");
  }
  if (control == nullptr || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
  focus_ = control;
  SendEvent(control, UIEVENT_SETFOCUS);
  SendNotify(control, L"setfocus");
}

bool CSkinManager::SetTimer(CControlUI* control, UINT localId, UINT elapseMs) {
  if (window_ == nullptr || control == nullptr) return false;
  for (const TimerEntry& timer : timers_) {
    if (timer.control == control && timer.localId == localId) {
      return ::SetTimer(window_, timer.nativeId, elapseMs, nullptr) != 0;
    }
  }
  UINT_PTR nativeId = ++nextTimerId_;
  if (::SetTimer(window_, nativeId, elapseMs, nullptr) == 0) return false;
  timers_.push_back(TimerEntry{control, localId, nativeId});
  return true;
}

bool CSkinManager::KillTimer(CControlUI* control, UINT localId) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->control == control && it->localId == localId) {
      if (window_ != nullptr) ::KillTimer(window_, it->nativeId);
      timers_.erase(it);
      return true;
    }
  }
  return false;
}

void CSkinManager::KillTimers(CControlUI* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      if (window_ != nullptr) ::KillTimer(window_, it->nativeId);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace DuiLib
