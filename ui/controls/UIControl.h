// The base of every control: name, text, fixed placement, visibility, state, background.
// Each class handles its own attributes in ApplyAttribute and passes the rest down.
#pragma once

#include <windows.h>

#include <string>

#include "ui/UIDefs.h"

namespace DuiLib {

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // Class name as hit testing and lookups compare it, e.g. "ButtonUI".
  virtual const wchar_t* GetClass() const;
  // kInterfaceContainer and the like; nullptr when the control has no such side.
  virtual void* GetInterface(const wchar_t* name);

  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  virtual const std::wstring& GetText() const { return text_; }
  virtual void SetText(const std::wstring& text);
  UINT_PTR GetTag() const { return tag_; }
  void SetTag(UINT_PTR tag) { tag_ = tag; }

  bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility imposed by a hidden ancestor (or a tab layout's page choice).
  virtual void SetInternVisible(bool visible = true);
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsFocused() const { return (state_ & UISTATE_FOCUSED) != 0; }
  virtual void SetFocus();
  UINT GetState() const { return state_; }
  bool IsContextMenuUsed() const { return menuUsed_; }

  // Attributes (one name/value pair, or a list text `a="1" b="2"`).
  virtual void ApplyAttribute(const std::wstring& name, const std::wstring& value);
  void ApplyAttributes(const std::wstring& list);

  // This control or a descendant whose name equals `name` without regard to case,
  // hidden and disabled ones included.
  CControlUI* FindSubControl(const std::wstring& name);

  // Placement.
  const RECT& GetPos() const { return pos_; }
  virtual void SetPos(RECT rc);
  int GetFixedX() const { return fixedX_; }
  int GetFixedY() const { return fixedY_; }
  int GetFixedWidth() const { return fixedWidth_; }
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  void SetFixedXY(int x, int y);
  int GetMinWidth() const { return minWidth_; }
  int GetMaxWidth() const { return maxWidth_; }
  int GetMinHeight() const { return minHeight_; }
  int GetMaxHeight() const { return maxHeight_; }
  const RECT& GetPadding() const { return padding_; }
  bool IsFloat() const { return float_; }
  // The size a parent's layout should give this control; fixed size by default.
  virtual SIZE EstimateSize(SIZE available);

  // Tree.
  CControlUI* GetParent() const { return parent_; }
  CSkinManager* GetManager() const { return manager_; }
  virtual void SetManager(CSkinManager* manager, CControlUI* parent, bool init = true);
  // Depth-first search used by the manager: hit testing, name maps, timers.
  using FindProc = CControlUI* (*)(CControlUI* control, void* data);
  enum : UINT { FIND_VISIBLE = 1, FIND_ENABLED = 2, FIND_HITTEST = 4, FIND_ME_FIRST = 8, FIND_ALL = 0 };
  virtual CControlUI* FindControl(FindProc proc, void* data, UINT flags);

  // Events and paint.
  virtual void DoInit() {}
  virtual void DoEvent(ControlEvent& event);
  virtual void DoPaint(HDC dc, const RECT& paint);
  virtual void PaintBkColor(HDC dc);
  virtual void PaintBkImage(HDC dc);
  virtual void PaintStatusImage(HDC dc) { (void)dc; }
  virtual void PaintText(HDC dc) { (void)dc; }
  virtual void PaintBorder(HDC dc);

  void Invalidate();
  bool IsUpdateNeeded() const { return updateNeeded_; }
  void NeedUpdate();
  void NeedParentUpdate();
  void SetUpdated() { updateNeeded_ = false; }

  DWORD GetBkColor() const { return bkColor_; }
  void SetBkColor(DWORD color);
  const std::wstring& GetBkImage() const { return bkImage_; }
  void SetBkImage(const std::wstring& image);

 protected:
  // Draws an image string over this control's rectangle; false when nothing could be drawn.
  bool DrawImage(HDC dc, const std::wstring& image, const std::wstring& modify = std::wstring());

  CSkinManager* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::wstring name_;
  std::wstring text_;
  UINT_PTR tag_ = 0;
  RECT pos_{};
  RECT paintRect_{};
  int fixedX_ = 0, fixedY_ = 0, fixedWidth_ = 0, fixedHeight_ = 0;
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 9999, maxHeight_ = 9999;
  RECT padding_{};
  bool float_ = false;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool menuUsed_ = false;
  bool updateNeeded_ = true;
  UINT state_ = 0;
  DWORD bkColor_ = 0;
  DWORD borderColor_ = 0;
  std::wstring bkImage_;
  RECT borderSize_{};
};

}  // namespace DuiLib
