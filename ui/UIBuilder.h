// CSkinBuilder: turns skin markup into a control tree, feeding fonts, images, default lists
// and Window attributes to a manager on the way.
#pragma once

#include <memory>
#include <string>

#include "ui/UIDefs.h"

namespace DuiLib {

class CSkinMarkup;
class CMarkupNode;

class CSkinBuilder {
 public:
  CSkinBuilder();
  ~CSkinBuilder();

  // `source`: markup text (starts with '<') or a file name read through the skin root.
  // Returns the first control created at the top level, or nullptr (see GetLastError).
  CControlUI* Build(const std::wstring& source, IDialogBuilderCallback* callback = nullptr,
                    CSkinManager* manager = nullptr, CControlUI* parent = nullptr);
  // Markup held as a module resource of type `type` with the numeric id `id`.
  CControlUI* Build(UINT id, const wchar_t* type, IDialogBuilderCallback* callback = nullptr,
                    CSkinManager* manager = nullptr, CControlUI* parent = nullptr);
  // Builds again from the markup already loaded (rows are built many times from one load).
  CControlUI* Rebuild(IDialogBuilderCallback* callback = nullptr, CSkinManager* manager = nullptr,
                      CControlUI* parent = nullptr);

  // Why the last Build returned nullptr (the reader's or the parser's error text).
  const std::wstring& GetLastErrorText() const { return error_; }

  // The control class of a known element name, or nullptr.
  static CControlUI* CreateControl(const std::wstring& elementName);

 private:
  bool LoadMarkup(const std::wstring& source);
  bool LoadResource(UINT id, const wchar_t* type);
  CControlUI* BuildLoaded(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent);
  CControlUI* BuildChildren(const CMarkupNode& node, IDialogBuilderCallback* callback, CSkinManager* manager,
                            CControlUI* parent);
  void BuildInclude(const CMarkupNode& node, IDialogBuilderCallback* callback, CSkinManager* manager,
                    CControlUI* parent);

  std::unique_ptr<CSkinMarkup> markup_;
  const wchar_t* resType_ = nullptr;  // set when the markup came from a module resource
  std::wstring error_;
};

}  // namespace DuiLib
