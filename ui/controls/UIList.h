// A list: an optional header above a vertical body of rows. The container operations act
// on the body, so GetItemAt(0) is the first row.
#pragma once

#include "ui/controls/UIVerticalLayout.h"

namespace DuiLib {

// Row styling shared by the rows of one list (the item... attributes).
struct ListItemStyle {
  int font = -1;
  UINT textStyle = DT_VCENTER | DT_SINGLELINE;
  RECT textPadding{};
  DWORD textColor = 0, bkColor = 0;
  DWORD selectedTextColor = 0, selectedBkColor = 0;
  DWORD hotTextColor = 0, hotBkColor = 0;
  DWORD disabledTextColor = 0, disabledBkColor = 0;
  DWORD lineColor = 0;
  std::wstring bkImage, selectedImage, hotImage, disabledImage;
  bool showHtml = false;
};

class CListUI : public CVerticalLayoutUI {
 public:
  CListUI();
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

  bool IsHeaderVisible() const;
  CContainerUI* GetHeader() const { return header_; }
  CContainerUI* GetBody() const { return body_; }
  const ListItemStyle& GetItemStyle() const { return itemStyle_; }
  int GetCurSel() const { return curSel_; }
  bool SelectItem(int index);

 private:
  void Renumber();

  CContainerUI* header_ = nullptr;  // children of this layout: header then body
  CContainerUI* body_ = nullptr;
  ListItemStyle itemStyle_;
  int curSel_ = -1;
};

}  // namespace DuiLib
