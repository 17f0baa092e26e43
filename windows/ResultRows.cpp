#include "windows/ResultRows.h"

#include "core/StrUtil.h"
#include "ui/DuiLib.h"

using DuiLib::CControlUI;

RowFactory::RowFactory() = default;
RowFactory::~RowFactory() = default;

CControlUI* RowFactory::AddProblemRow(int index, const RepairEntry& entry) {
  return Build(RowTemplate::Problem, index, entry);
}

CControlUI* RowFactory::AddFlashRow(int index, const RepairEntry& entry) {
  return Build(RowTemplate::Flash, index, entry);
}

CControlUI* RowFactory::AddRecurringRow(int index, const RepairEntry& entry) {
  return Build(RowTemplate::Recurring, index, entry);
}

CControlUI* RowFactory::Build(RowTemplate row, int index, const RepairEntry& entry) {
  std::unique_ptr<DuiLib::CSkinBuilder>& builder = builders_[static_cast<int>(row)];
  CControlUI* control = nullptr;
  if (builder) control = builder->Rebuild();
  if (!control) {
    builder = std::make_unique<DuiLib::CSkinBuilder>();
    control = builder->Build(RowTemplateFile(row));
  }
  if (!control) return nullptr;

  SetRowPartText(control, L"result", AnsiToWide(entry.text));
  ShowRowPart(control, L"resultLogo", false);
  ShowRowPart(control, L"resultTip", false);
  ShowRowPart(control, L"repairLogo", false);
  if (row == RowTemplate::Flash) {
    ShowRowPart(control, L"repairLogoNew", false);
    ShowRowPart(control, L"resultTipNew", false);
    ShowRowPart(control, L"resultServTip", true);
    ShowRowPart(control, L"GoOfficialNet", true);
  } else if (row == RowTemplate::Recurring) {
    ShowRowPart(control, L"resultServTip", true);
    ShowRowPart(control, L"ServSet", true);
  }
  control->SetTag(static_cast<UINT_PTR>(index));
  return control;
}

void ShowRowPart(CControlUI* row, const wchar_t* name, bool visible) {
  if (CControlUI* part = row->FindSubControl(name)) part->SetVisible(visible);
}

void SetRowPartText(CControlUI* row, const wchar_t* name, const std::wstring& text) {
  if (CControlUI* part = row->FindSubControl(name)) part->SetText(text);
}

void ShowRowIcon(CControlUI* row, bool success) {
  if (CControlUI* logo = row->FindSubControl(L"resultLogo")) {
    logo->ApplyAttribute(L"bkimage", success ? kSuccessIcon : kFailedIcon);
    logo->SetVisible(true);
  }
}

void ShowRowWorking(CControlUI* row, int32_t kind, const wchar_t* kind5Text) {
  ShowRowPart(row, L"resultLogo", false);
  ShowRowPart(row, L"resultTip", false);
  ShowRowPart(row, L"repairLogo", true);
  if (kind == FlashBelowMinimum) {
    ShowRowPart(row, L"repairLogo", false);
    ShowRowPart(row, L"repairLogoNew", true);
    ShowRowPart(row, L"resultTipNew", true);
    SetRowPartText(row, L"resultTipNew", kind5Text);
  }
}
