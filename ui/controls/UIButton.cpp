#include "ui/controls/UIButton.h"

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

namespace {

bool IsMouseEvent(int kind) {
  return kind == UIEVENT_MOUSEMOVE || kind == UIEVENT_MOUSEENTER || kind == UIEVENT_MOUSELEAVE ||
         kind == UIEVENT_MOUSEHOVER || kind == UIEVENT_BUTTONDOWN || kind == UIEVENT_BUTTONUP ||
         kind == UIEVENT_DBLCLICK || kind == UIEVENT_SCROLLWHEEL || kind == UIEVENT_CONTEXTMENU;
}

}  // namespace

CButtonUI::CButtonUI() { textStyle_ = InitialTextStyle(TextControlKind::kButton); }

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

void CButtonUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CButtonUI;
  static const AttributeHandler<C> kTable[] = {
      {L"normalimage", [](C& c, const std::wstring& v) { c.SetNormalImage(v); }},
      {L"hotimage", [](C& c, const std::wstring& v) { c.SetHotImage(v); }},
      {L"pushedimage", [](C& c, const std::wstring& v) { c.SetPushedImage(v); }},
      {L"disabledimage", [](C& c, const std::wstring& v) { c.SetDisabledImage(v); }},
      {L"focusedimage", [](C& c, const std::wstring& v) { c.focusedImage_ = v; }},
      {L"foreimage", [](C& c, const std::wstring& v) { c.foreImage_ = v; }},
      {L"hotforeimage", [](C& c, const std::wstring& v) { c.hotForeImage_ = v; }},
      {L"pushedforeimage", [](C& c, const std::wstring& v) { c.pushedForeImage_ = v; }},
      {L"hottextcolor", [](C& c, const std::wstring& v) { c.hotTextColor_ = ParseColor(v.c_str()); }},
      {L"pushedtextcolor", [](C& c, const std::wstring& v) { c.pushedTextColor_ = ParseColor(v.c_str()); }},
      {L"focusedtextcolor", [](C& c, const std::wstring& v) { c.focusedTextColor_ = ParseColor(v.c_str()); }},
      {L"hotbkcolor", [](C& c, const std::wstring& v) { c.hotBkColor_ = ParseColor(v.c_str()); }},
      {L"multiline", [](C& c, const std::wstring& v) { c.textStyle_ = ApplyMultiline(c.textStyle_, ParseBool(v.c_str())); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

bool CButtonUI::Activate() {
  if (!IsVisible() || !IsEnabled()) return false;
  if (manager_ != nullptr) manager_->SendNotify(this, L"click");
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) buttonState_ = 0;
}

void CButtonUI::DoEvent(ControlEvent& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event.kind)) {
    if (parent_ != nullptr) parent_->DoEvent(event);
    return;
  }
  bool inside = ::PtInRect(&pos_, event.mouse) != FALSE;
  switch (event.kind) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      break;
    case UIEVENT_KEYDOWN:
      if (IsFocused() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (inside && IsEnabled()) {
        buttonState_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (buttonState_ & UISTATE_CAPTURED) {
        UINT before = buttonState_;
        if (inside) {
          buttonState_ |= UISTATE_PUSHED;
        } else {
          buttonState_ &= ~UISTATE_PUSHED;
        }
        if (before != buttonState_) Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (buttonState_ & UISTATE_CAPTURED) {
        buttonState_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (inside) Activate();
      }
      return;
    case UIEVENT_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        buttonState_ |= UISTATE_HOT;
        Invalidate();
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        buttonState_ &= ~UISTATE_HOT;
        Invalidate();
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CButtonUI::PaintText(HDC dc) {
  if (manager_ == nullptr) return;
  DWORD color = textColor_;
  if ((buttonState_ & UISTATE_PUSHED) && pushedTextColor_ != 0) {
    color = pushedTextColor_;
  } else if ((buttonState_ & UISTATE_HOT) && hotTextColor_ != 0) {
    color = hotTextColor_;
  } else if (IsFocused() && focusedTextColor_ != 0) {
    color = focusedTextColor_;
  }
  if (color == 0) color = manager_->GetDefaultFontColor();
  if (!IsEnabled()) color = disabledTextColor_ != 0 ? disabledTextColor_ : manager_->GetDefaultDisabledColor();
  DrawTextIn(dc, color);
}

bool CButtonUI::DrawStateImage(HDC dc, std::wstring& image) {
  if (image.empty()) return false;
  if (DrawImage(dc, image)) return true;
  image.clear();
  return false;
}

// Picture by state: disabled, pushed, hot, focused, normal; the fore image goes on top.
void CButtonUI::PaintStatusImage(HDC dc) {
  bool drawn = false;
  if (!IsEnabled()) {
    drawn = DrawStateImage(dc, disabledImage_);
  } else if (buttonState_ & UISTATE_PUSHED) {
    drawn = DrawStateImage(dc, pushedImage_);
    if (!pushedForeImage_.empty()) DrawImage(dc, pushedForeImage_);
  } else if (buttonState_ & UISTATE_HOT) {
    drawn = DrawStateImage(dc, hotImage_);
    if (!drawn && hotBkColor_ != 0) DrawColor(dc, FromRECT(paintRect_), hotBkColor_);
    if (!hotForeImage_.empty()) DrawImage(dc, hotForeImage_);
  } else if (IsFocused()) {
    drawn = DrawStateImage(dc, focusedImage_);
  }
  if (!drawn) DrawStateImage(dc, normalImage_);
  if (!foreImage_.empty()) DrawImage(dc, foreImage_);
}

}  // namespace DuiLib
