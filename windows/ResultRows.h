// Rows of the main window's result list: built from the three row templates of the skin
// package, one per problem, each tagged with its problem's index. Window thread only.
#pragma once

#include <memory>

#include "engine/CheckContext.h"
#include "windows/ViewTexts.h"

namespace DuiLib {
class CControlUI;
class CSkinBuilder;
}  // namespace DuiLib

class RowFactory {
 public:
  RowFactory();
  ~RowFactory();
  RowFactory(const RowFactory&) = delete;
  RowFactory& operator=(const RowFactory&) = delete;

  // A new row for problem `index` (nullptr when the template cannot be built); the caller adds
  // it to the list, which then owns it.
  DuiLib::CControlUI* AddProblemRow(int index, const RepairEntry& entry);
  DuiLib::CControlUI* AddFlashRow(int index, const RepairEntry& entry);
  DuiLib::CControlUI* AddRecurringRow(int index, const RepairEntry& entry);

 private:
  DuiLib::CControlUI* Build(RowTemplate row, int index, const RepairEntry& entry);

  // One builder per template: the markup is read once and rebuilt for every later row.
  std::unique_ptr<DuiLib::CSkinBuilder> builders_[3];
};

// Small operations on the named controls of one row; a control the row lacks is skipped.
void ShowRowPart(DuiLib::CControlUI* row, const wchar_t* name, bool visible);
void SetRowPartText(DuiLib::CControlUI* row, const wchar_t* name, const std::wstring& text);
// resultLogo shows success.png or failed.png.
void ShowRowIcon(DuiLib::CControlUI* row, bool success);
// The repairing and installing looks: the spinner, and for a kind-5 problem the second
// spinner with `kind5Text` ("正在下载..." or "正在安装...").
void ShowRowWorking(DuiLib::CControlUI* row, int32_t kind, const wchar_t* kind5Text);
