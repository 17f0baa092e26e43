#include "ui/UIMenu.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/UIBuilder.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"
#include "ui/render/RenderText.h"

namespace DuiLib {

namespace {

std::wstring& LastClickedItem() {
  static std::wstring name;
  return name;
}

std::vector<CMenuWnd*>& OpenMenus() {
  static std::vector<CMenuWnd*> menus;
  return menus;
}

}  // namespace

const std::wstring& GetLastClickedMenuItem() { return LastClickedItem(); }

// --- CMenuUI ---------------------------------------------------------------------------------------

const wchar_t* CMenuUI::GetClass() const { return L"MenuUI"; }

void* CMenuUI::GetInterface(const wchar_t* name) {
  if (std::wstring(name) == L"Menu") return this;
  return CListUI::GetInterface(name);
}

// --- CMenuElementUI ------------------------------------------------------------------------------

const wchar_t* CMenuElementUI::GetClass() const { return L"MenuElementUI"; }

void* CMenuElementUI::GetInterface(const wchar_t* name) {
  if (std::wstring(name) == L"MenuElement") return this;
  return CListContainerElementUI::GetInterface(name);
}

// Rows take their text style from the menu's item attributes, so `font` and `hottextcolor`
// written on an element are unknown here; icon, iconsize, linetype and the like are accepted
// and change nothing the program's menu uses.
void CMenuElementUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"checkitem") {
    checkItem_ = ParseBool(value.c_str());
  } else if (name == L"ischeck") {
    checked_ = ParseBool(value.c_str());
  } else if (name == L"font" || name == L"hottextcolor") {
    return;
  } else {
    CListContainerElementUI::ApplyAttribute(name, value);
  }
}

void CMenuElementUI::DoEvent(ControlEvent& event) {
  switch (event.kind) {
    case UIEVENT_MOUSEENTER:
      hot_ = true;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      return;
    case UIEVENT_BUTTONDOWN:
      return;
    case UIEVENT_BUTTONUP:
      if (::PtInRect(&pos_, event.mouse) && IsEnabled()) {
        if (CMenuWnd* menu = CMenuWnd::FromManager(manager_)) menu->OnItemPicked(this);
      }
      return;
    default:
      CListContainerElementUI::DoEvent(event);
  }
}

void CMenuElementUI::DoPaint(HDC dc, const RECT& paint) {
  if (!::IntersectRect(&paintRect_, &paint, &pos_)) return;
  if (owner_ == nullptr || manager_ == nullptr) {
    CListContainerElementUI::DoPaint(dc, paint);
    return;
  }
  const ListItemStyle& style = owner_->GetItemStyle();
  DWORD bk = hot_ ? style.selectedBkColor : style.bkColor;
  if (bk != 0) DrawColor(dc, FromRECT(paintRect_), bk);
  CHorizontalLayoutUI::DoPaint(dc, paint);
  DWORD color = hot_ ? style.selectedTextColor : style.textColor;
  if (color == 0) color = manager_->GetDefaultFontColor();
  Rect area{pos_.left + style.textPadding.left, pos_.top + style.textPadding.top, pos_.right - style.textPadding.right,
            pos_.bottom - style.textPadding.bottom};
  DrawTextLine(dc, area, text_.c_str(), color, manager_->GetFont(style.font), style.textStyle);
}

// --- CMenuWnd ------------------------------------------------------------------------------------------

CMenuWnd* CMenuWnd::Show(const std::wstring& markup, POINT pt, CSkinManager* owner, SIZE fixedSize) {
  // The object belongs to its window from creation on and deletes itself when it goes; a
  // window that fails to be created may already have done so, so a failure is not touched.
  auto* menu = new CMenuWnd;
  return menu->Init(markup, pt, owner, fixedSize) ? menu : nullptr;
}

void CMenuWnd::CloseAll() {
  for (CMenuWnd* menu : std::vector<CMenuWnd*>(OpenMenus())) menu->CloseMenu();
}

bool CMenuWnd::IsMenuWindow(HWND window) {
  const auto& menus = OpenMenus();
  return std::any_of(menus.begin(), menus.end(), [window](CMenuWnd* m) { return m->GetHWND() == window; });
}

CMenuWnd* CMenuWnd::FromManager(const CSkinManager* manager) {
  for (CMenuWnd* menu : OpenMenus()) {
    if (&menu->m_pm == manager) return menu;
  }
  return nullptr;
}

bool CMenuWnd::Init(const std::wstring& markup, POINT pt, CSkinManager* owner, SIZE fixedSize) {
  owner_ = owner;
  markup_ = markup;
  point_ = pt;
  fixedSize_ = fixedSize;
  HWND ownerWindow = owner != nullptr ? owner->GetPaintWindow() : nullptr;
  OpenMenus().push_back(this);
  if (Create(ownerWindow, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, pt.x, pt.y, 0, 0) == nullptr) {
    auto& menus = OpenMenus();
    menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
    return false;
  }
  if (m_pm.GetRoot() == nullptr) {
    ::DestroyWindow(hwnd_);
    return false;
  }
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  // The owner's frame keeps looking active while its menu is open.
  if (ownerWindow != nullptr) ::SendMessageW(::GetAncestor(ownerWindow, GA_ROOT), WM_NCACTIVATE, TRUE, 0);
  return true;
}

LRESULT CMenuWnd::RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  CSkinManager::MessageScope scope(m_pm);
  switch (msg) {
    case WM_CREATE: {
      m_pm.Init(hwnd_);
      m_pm.SetParentManager(owner_);
      CSkinBuilder builder;
      CControlUI* root = builder.Build(markup_, this, &m_pm);
      if (root == nullptr) return 0;
      m_pm.AttachRoot(root);
      m_pm.AddNotifier(this);
      SIZE size = fixedSize_.cx > 0 && fixedSize_.cy > 0 ? fixedSize_ : m_pm.GetInitSize();
      ::SetWindowPos(hwnd_, nullptr, point_.x, point_.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_KILLFOCUS:
      // Focus moving to another open menu (a submenu) keeps the menus open.
      if (!IsMenuWindow(reinterpret_cast<HWND>(wParam))) CloseAll();
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_LEFT) {
        CloseMenu();
        return 0;
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::RouteMessage(msg, wParam, lParam);
}

void CMenuWnd::OnWindowDestroyed(HWND) {
  auto& menus = OpenMenus();
  menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
  m_pm.RemoveNotifier(this);
  m_pm.OnWindowGone();
  delete this;
}

// "click" and "valuechanged" raised inside the menu reach the owner's notifiers too.
void CMenuWnd::OnNotification(NotifyRecord& msg) {
  if (owner_ != nullptr && (msg.type == L"click" || msg.type == L"valuechanged")) owner_->SendNotify(msg);
}

CControlUI* CMenuWnd::MakeCustomControl(const wchar_t* elementName) {
  std::wstring name = elementName;
  if (name == L"Menu") return new CMenuUI;
  if (name == L"MenuElement") return new CMenuElementUI;
  return nullptr;
}

// Closing is posted: the click that closes a menu is still running inside its tree.
void CMenuWnd::CloseMenu() {
  if (closing_ || hwnd_ == nullptr) return;
  closing_ = true;
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

// The name travels as a heap copy that the owner releases with delete[].
void CMenuWnd::OnItemPicked(CMenuElementUI* item) {
  item->SetChecked(!item->IsChecked());
  LastClickedItem() = item->GetName();
  HWND ownerWindow = owner_ != nullptr ? owner_->GetPaintWindow() : nullptr;
  const std::wstring& name = item->GetName();
  auto* copy = new wchar_t[name.size() + 1];
  std::memcpy(copy, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  if (ownerWindow == nullptr ||
      !::PostMessageW(ownerWindow, WM_MENU_PICKED, reinterpret_cast<WPARAM>(copy), item->IsChecked() ? 1 : 0)) {
    delete[] copy;
  }
  m_pm.SendNotify(item, L"click");
  CloseAll();
}

}  // namespace DuiLib
