#include "ui/controls/UIEdit.h"

#include "ui/UIBase.h"
#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

// The native edit window lying over a focused edit field. It lives from the button press
// that focuses the field until it loses the keyboard focus; its text goes back to the field
// on every change ("textchanged") and Enter sends "return".
class CEditWnd : public CWindowWnd {
 public:
  explicit CEditWnd(CEditUI* owner) : owner_(owner) {}

  bool Open() {
    CSkinManager* manager = owner_->GetManager();
    RECT rc = TextRect();
    DWORD style = WS_CHILD | ES_AUTOHSCROLL | (owner_->password_ ? ES_PASSWORD : 0) |
                  (owner_->readOnly_ ? ES_READONLY : 0);
    UINT align = owner_->GetTextStyle();
    if (align & kTextCenter) style |= ES_CENTER;
    if (align & kTextRight) style |= ES_RIGHT;
    HWND edit = ::CreateWindowExW(0, L"EDIT", owner_->GetText().c_str(), style, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, manager->GetPaintWindow(), nullptr,
                                  CSkinManager::GetInstance(), nullptr);
    if (edit == nullptr) return false;
    Subclass(edit);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner_->GetFont())), FALSE);
    ::SendMessageW(edit, EM_LIMITTEXT, owner_->maxChar_, 0);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::ShowWindow(edit, SW_SHOWNOACTIVATE);
    ::SetFocus(edit);
    return true;
  }

  void Reposition() {
    RECT rc = TextRect();
    ::SetWindowPos(hwnd_, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Detach() { owner_ = nullptr; }

  const wchar_t* WindowClassName() const override { return L"EDIT"; }

  LRESULT RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KILLFOCUS) {
      LRESULT result = CWindowWnd::RouteMessage(msg, wParam, lParam);
      ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      return result;
    }
    if (msg == WM_CLOSE) {
      ::DestroyWindow(hwnd_);
      return 0;
    }
    if (msg == WM_CHAR && wParam == VK_RETURN) {
      if (owner_ != nullptr && owner_->GetManager() != nullptr) owner_->GetManager()->SendNotify(owner_, L"return");
      return 0;
    }
    LRESULT result = CWindowWnd::RouteMessage(msg, wParam, lParam);
    if (msg == WM_CHAR || msg == WM_PASTE || msg == WM_CUT || msg == WM_CLEAR || msg == WM_UNDO ||
        (msg == WM_KEYDOWN && wParam == VK_DELETE)) {
      SyncText();
    }
    return result;
  }

  void OnWindowDestroyed(HWND) override {
    if (owner_ != nullptr) owner_->editWnd_ = nullptr;
    delete this;
  }

 private:
  RECT TextRect() const {
    RECT rc = owner_->GetPos();
    const RECT& pad = owner_->GetTextPadding();
    rc.left += pad.left;
    rc.top += pad.top;
    rc.right -= pad.right;
    rc.bottom -= pad.bottom;
    return rc;
  }

  void SyncText() {
    if (owner_ == nullptr) return;
    int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    if (text == owner_->text_) return;
    owner_->text_ = text;
    if (owner_->GetManager() != nullptr) owner_->GetManager()->SendNotify(owner_, L"textchanged");
  }

  CEditUI* owner_;
};

CEditUI::CEditUI() { textStyle_ = InitialTextStyle(TextControlKind::kEdit); }

CEditUI::~CEditUI() { CloseEditWindow(); }

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

void CEditUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CEditUI;
  static const AttributeHandler<C> kTable[] = {
      {L"readonly", [](C& c, const std::wstring& v) { c.SetReadOnly(ParseBool(v.c_str())); }},
      {L"password", [](C& c, const std::wstring& v) { c.password_ = ParseBool(v.c_str()); }},
      {L"maxchar", [](C& c, const std::wstring& v) { c.maxChar_ = ParseInt(v.c_str()); }},
      {L"normalimage", [](C& c, const std::wstring& v) { c.normalImage_ = v; }},
      {L"hotimage", [](C& c, const std::wstring& v) { c.hotImage_ = v; }},
      {L"focusedimage", [](C& c, const std::wstring& v) { c.focusedImage_ = v; }},
      {L"disabledimage", [](C& c, const std::wstring& v) { c.disabledImage_ = v; }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

void CEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (editWnd_ != nullptr) ::SendMessageW(editWnd_->GetHWND(), EM_SETREADONLY, readOnly, 0);
  Invalidate();
}

void CEditUI::SetText(const std::wstring& text) {
  CLabelUI::SetText(text);
  if (editWnd_ != nullptr) ::SetWindowTextW(editWnd_->GetHWND(), text_.c_str());
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!enabled) CloseEditWindow();
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible()) CloseEditWindow();
}

void CEditUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  if (!IsVisible()) CloseEditWindow();
}

void CEditUI::SetPos(RECT rc) {
  CLabelUI::SetPos(rc);
  if (editWnd_ != nullptr) editWnd_->Reposition();
}

void CEditUI::CloseEditWindow() {
  if (editWnd_ == nullptr) return;
  CEditWnd* wnd = editWnd_;
  editWnd_ = nullptr;
  wnd->Detach();
  if (::IsWindow(wnd->GetHWND())) ::PostMessageW(wnd->GetHWND(), WM_CLOSE, 0, 0);
}

void CEditUI::DoEvent(ControlEvent& event) {
  if (!IsMouseEnabled() && event.kind >= UIEVENT_MOUSEMOVE && event.kind <= UIEVENT_SCROLLWHEEL) {
    if (parent_ != nullptr) parent_->DoEvent(event);
    return;
  }
  switch (event.kind) {
    case UIEVENT_SETCURSOR:
      if (IsEnabled()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && editWnd_ == nullptr && manager_ != nullptr) {
        auto* wnd = new CEditWnd(this);
        if (wnd->Open()) {
          editWnd_ = wnd;
        } else {
          delete wnd;
        }
      }
      return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      Invalidate();
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::PaintStatusImage(HDC dc) {
  const std::wstring* image = &normalImage_;
  if (!IsEnabled()) {
    image = &disabledImage_;
  } else if (editWnd_ != nullptr || IsFocused()) {
    image = &focusedImage_;
  } else if (manager_ != nullptr && manager_->GetHover() == this) {
    image = &hotImage_;
  }
  if (image->empty() || !DrawImage(dc, *image)) {
    if (!normalImage_.empty()) DrawImage(dc, normalImage_);
  }
}

// While the native window is open it draws the text itself.
void CEditUI::PaintText(HDC dc) {
  if (editWnd_ != nullptr) return;
  if (password_) {
    std::wstring shown = text_;
    text_.assign(shown.size(), L'*');
    CLabelUI::PaintText(dc);
    text_ = shown;
    return;
  }
  CLabelUI::PaintText(dc);
}

}  // namespace DuiLib
