// CSkinBuilder: turns skin markup into a control tree, feeding fonts, images, default lists
// and Window attributes to a manager on the way.
//
// The build is recursive, so hostile markup is bounded: more than kMaxDepth levels (nested
// elements, and each Include one level more) fail the build with "Elements nested too deeply";
// an Include that names a markup file already being built (itself, or one that includes it)
// fails it with "Include cycle"; more than kMaxElements controls and Include copies in one
// build (Includes multiplying each other) fail it with "Too many elements". Such a failure
// fails the whole build, includes and all: what was built is destroyed (controls already added
// to the caller's parent are removed again) and Build returns nullptr. A missing or unreadable
// included file still only leaves its Include empty.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/UIDefs.h"

namespace DuiLib {

class CSkinMarkup;
class CMarkupNode;

class CSkinBuilder {
 public:
  static constexpr int kMaxDepth = 256;
  static constexpr int kMaxElements = 100000;

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
  // What one top-level Build shares with the builds of its Includes.
  struct BuildState {
    int depth = 0;
    int elements = 0;
    std::vector<std::wstring> sources;  // the markup files being built, outermost first
    CControlUI* outerParent = nullptr;
    std::vector<CControlUI*> outerControls;  // made at the outermost level (added to outerParent)
    std::wstring error;                      // set when the build has failed
  };

  bool LoadMarkup(const std::wstring& source);
  bool LoadResource(UINT id, const wchar_t* type);
  // Builds the loaded markup, as the outermost build or inside `state` of an including one.
  CControlUI* BuildLoaded(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent);
  CControlUI* BuildWithin(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent);
  CControlUI* BuildChildren(const CMarkupNode& node, IDialogBuilderCallback* callback, CSkinManager* manager,
                            CControlUI* parent);
  void BuildInclude(const CMarkupNode& node, IDialogBuilderCallback* callback, CSkinManager* manager,
                    CControlUI* parent);

  std::unique_ptr<CSkinMarkup> markup_;
  const wchar_t* resType_ = nullptr;  // set when the markup came from a module resource
  std::wstring sourceKey_;            // the loaded markup's file or resource, "" for text
  BuildState* state_ = nullptr;       // set while building
  std::wstring error_;
};

}  // namespace DuiLib
