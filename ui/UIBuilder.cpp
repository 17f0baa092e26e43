#include "ui/UIBuilder.h"

#include <algorithm>
#include <vector>

#include "ui/UIManager.h"
#include "ui/controls/UIButton.h"
#include "ui/controls/UICheckBox.h"
#include "ui/controls/UIEdit.h"
#include "ui/controls/UIGifAnim.h"
#include "ui/controls/UIHorizontalLayout.h"
#include "ui/controls/UILabel.h"
#include "ui/controls/UIList.h"
#include "ui/controls/UIListContainerElement.h"
#include "ui/controls/UIProgress.h"
#include "ui/controls/UITabLayout.h"
#include "ui/controls/UIVerticalLayout.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/SkinModule.h"

namespace DuiLib {

namespace {

template <class T>
CControlUI* Make() {
  return new T;
}

// Element names the skins use and the classes they create. Menu and MenuElement are made
// only by the menu window's callback.
struct ElementClass {
  const wchar_t* element;
  CControlUI* (*create)();
};
constexpr ElementClass kElementClasses[] = {
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
    {L"Label", Make<CLabelUI>},
    {L"Button", Make<CButtonUI>},
    {L"CheckBox", Make<CCheckBoxUI>},
    {L"Edit", Make<CEditUI>},
    {L"Progress", Make<CProgressUI>},
    {L"List", Make<CListUI>},
    {L"ListContainerElement", Make<CListContainerElementUI>},
    {L"GifAnim", Make<CGifAnimUI>},
};

bool IsDecimal(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t ch : text) {
    if (ch < L'0' || ch > L'9') return false;
  }
  return true;
}

// Resource elements, read into the manager before any control is made.
void ReadImage(const CMarkupNode& node, CSkinManager& manager) {
  const wchar_t* name = node.GetAttributeValue(L"name");
  if (name == nullptr) return;
  const wchar_t* resType = node.GetAttributeValue(L"restype");
  const wchar_t* mask = node.GetAttributeValue(L"mask");
  manager.AddImage(name, resType != nullptr ? resType : L"", mask != nullptr ? ParseColor(mask) : 0);
}

// A font's index is its position among the Font elements: `id` is not read, and only
// `default` (not the misspelt `defult`) makes it the default font.
void ReadFont(const CMarkupNode& node, CSkinManager& manager) {
  const wchar_t* face = nullptr;
  int size = 12;
  bool bold = false, underline = false, italic = false, isDefault = false;
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    std::wstring name = node.GetAttributeName(i);
    const wchar_t* value = node.GetAttributeValue(i);
    if (name == L"name") {
      face = value;
    } else if (name == L"size") {
      size = ParseInt(value);
    } else if (name == L"bold") {
      bold = ParseBool(value);
    } else if (name == L"underline") {
      underline = ParseBool(value);
    } else if (name == L"italic") {
      italic = ParseBool(value);
    } else if (name == L"default") {
      isDefault = ParseBool(value);
    }
  }
  if (face == nullptr) return;
  manager.AddFont(face, size, bold, underline, italic);
  if (isDefault) manager.SetDefaultFont(face, size, bold, underline, italic);
}

void ReadDefault(const CMarkupNode& node, CSkinManager& manager) {
  const wchar_t* name = node.GetAttributeValue(L"name");
  const wchar_t* value = node.GetAttributeValue(L"value");
  if (name != nullptr && value != nullptr) manager.AddDefaultAttributeList(name, value);
}

bool IsResourceElement(const std::wstring& name) {
  return name == L"Image" || name == L"Font" || name == L"Default";
}

constexpr wchar_t kTooDeepError[] = L"Elements nested too deeply";
constexpr wchar_t kIncludeCycleError[] = L"Include cycle";
constexpr wchar_t kTooManyError[] = L"Too many elements";

// A markup file as the package finds it: '\' and '/' alike, ASCII letters in either case.
std::wstring FileKey(const std::wstring& name) {
  std::wstring key = name;
  for (wchar_t& ch : key) {
    if (ch == L'\\') ch = L'/';
    if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
  }
  return key;
}

// One level of the build's recursion, counted for as long as it runs.
class DepthStep {
 public:
  explicit DepthStep(int& depth) : depth_(depth) { ++depth_; }
  ~DepthStep() { --depth_; }
  DepthStep(const DepthStep&) = delete;
  DepthStep& operator=(const DepthStep&) = delete;

 private:
  int& depth_;
};

}  // namespace

CSkinBuilder::CSkinBuilder() = default;
CSkinBuilder::~CSkinBuilder() = default;

CControlUI* CSkinBuilder::CreateControl(const std::wstring& elementName) {
  for (const ElementClass& entry : kElementClasses) {
    if (elementName == entry.element) return entry.create();
  }
  return nullptr;
}

CControlUI* CSkinBuilder::Build(const std::wstring& source, IDialogBuilderCallback* callback, CSkinManager* manager,
                                CControlUI* parent) {
  resType_ = nullptr;
  if (!LoadMarkup(source)) return nullptr;
  return BuildLoaded(callback, manager, parent);
}

CControlUI* CSkinBuilder::Build(UINT id, const wchar_t* type, IDialogBuilderCallback* callback,
                                CSkinManager* manager, CControlUI* parent) {
  if (!LoadResource(id, type)) return nullptr;
  return BuildLoaded(callback, manager, parent);
}

CControlUI* CSkinBuilder::Rebuild(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent) {
  if (markup_ == nullptr || !markup_->IsValid()) return nullptr;
  return BuildLoaded(callback, manager, parent);
}

bool CSkinBuilder::LoadMarkup(const std::wstring& source) {
  markup_ = std::make_unique<CSkinMarkup>();
  const bool isText = !source.empty() && source[0] == L'<';
  sourceKey_ = isText ? std::wstring() : FileKey(source);
  bool loaded = isText ? markup_->Load(source.c_str()) : markup_->LoadFromFile(source.c_str());
  error_ = loaded ? std::wstring() : markup_->GetLastErrorText();
  return loaded;
}

bool CSkinBuilder::LoadResource(UINT id, const wchar_t* type) {
  markup_ = std::make_unique<CSkinMarkup>();
  resType_ = type;
  sourceKey_ = L"#" + std::wstring(type) + L"#" + std::to_wstring(id);
  std::vector<uint8_t> bytes;
  if (!ReadModuleResource(MAKEINTRESOURCEW(id), type, bytes)) {
    error_ = L"Could not find resource";
    return false;
  }
  if (bytes.size() > CSkinMarkup::kMaxMarkupBytes) {
    error_ = L"File too large";
    return false;
  }
  bool loaded = markup_->LoadFromMem(bytes.data(), bytes.size());
  error_ = loaded ? std::wstring() : markup_->GetLastErrorText();
  return loaded;
}

CControlUI* CSkinBuilder::BuildLoaded(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent) {
  if (state_ != nullptr) return BuildWithin(callback, manager, parent);  // inside an Include

  BuildState state;
  state.outerParent = parent;
  state_ = &state;
  CControlUI* first = BuildWithin(callback, manager, parent);
  state_ = nullptr;
  if (state.error.empty()) return first;
  // A failed build leaves nothing behind: children belong to their controls, so undoing the
  // outermost level undoes everything.
  auto* container = parent != nullptr ? static_cast<IContainerUI*>(parent->GetInterface(kInterfaceContainer)) : nullptr;
  for (CControlUI* control : state.outerControls) {
    if (container != nullptr) {
      container->Remove(control);
    } else {
      delete control;
    }
  }
  error_ = state.error;
  return nullptr;
}

CControlUI* CSkinBuilder::BuildWithin(IDialogBuilderCallback* callback, CSkinManager* manager, CControlUI* parent) {
  BuildState& state = *state_;
  CMarkupNode root = markup_->GetRoot();
  if (!root.IsValid()) return nullptr;
  if (!sourceKey_.empty()) {
    if (std::find(state.sources.begin(), state.sources.end(), sourceKey_) != state.sources.end()) {
      state.error = kIncludeCycleError;
      return nullptr;
    }
    state.sources.push_back(sourceKey_);
  }
  if (manager != nullptr) {
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
      std::wstring name = node.GetName();
      if (name == L"Image") {
        ReadImage(node, *manager);
      } else if (name == L"Font") {
        ReadFont(node, *manager);
      } else if (name == L"Default") {
        ReadDefault(node, *manager);
      }
    }
    if (std::wstring(root.GetName()) == L"Window" && manager->GetPaintWindow() != nullptr) {
      for (int i = 0; i < root.GetAttributeCount(); ++i) {
        manager->ApplyWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
      }
    }
  }
  CControlUI* first = BuildChildren(root, callback, manager, parent);
  if (!sourceKey_.empty()) state.sources.pop_back();
  return first;
}

CControlUI* CSkinBuilder::BuildChildren(const CMarkupNode& node, IDialogBuilderCallback* callback,
                                        CSkinManager* manager, CControlUI* parent) {
  BuildState& state = *state_;
  DepthStep level(state.depth);
  if (state.depth > kMaxDepth) {
    state.error = kTooDeepError;
    return nullptr;
  }
  CControlUI* first = nullptr;
  for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    std::wstring element = child.GetName();
    if (IsResourceElement(element)) continue;
    if (element == L"Include") {
      BuildInclude(child, callback, manager, parent);
      if (!state.error.empty()) return nullptr;
      continue;
    }
    CControlUI* control = CreateControl(element);
    if (control == nullptr && callback != nullptr) control = callback->MakeCustomControl(element.c_str());
    if (control == nullptr) continue;  // unknown: the element and its children are skipped
    if (++state.elements > kMaxElements) {
      delete control;
      state.error = kTooManyError;
      return nullptr;
    }

    if (child.HasChildren()) {
      BuildChildren(child, callback, manager, control);
      if (!state.error.empty()) {
        delete control;
        return nullptr;
      }
    }
    if (parent != nullptr) {
      auto* container = static_cast<IContainerUI*>(parent->GetInterface(kInterfaceContainer));
      if (container == nullptr || !container->Add(control)) {
        delete control;
        continue;
      }
    }
    // Children always have a parent of this build, so this is the outermost level.
    if (parent == state.outerParent) state.outerControls.push_back(control);
    if (manager != nullptr) {
      // Attached only for the attribute step; the window attaches the whole tree later.
      control->SetManager(manager, control->GetParent(), false);
      if (const std::wstring* defaults = manager->GetDefaultAttributeList(element)) control->ApplyAttributes(*defaults);
    }
    for (int i = 0; i < child.GetAttributeCount(); ++i) {
      control->ApplyAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
    }
    if (manager != nullptr) {
      CControlUI* owner = control->GetParent();
      control->SetManager(owner != nullptr ? owner->GetManager() : nullptr, owner, false);
    }
    if (first == nullptr) first = control;
  }
  return first;
}

// `count` copies of the markup named by `source` go into the current parent.
void CSkinBuilder::BuildInclude(const CMarkupNode& node, IDialogBuilderCallback* callback, CSkinManager* manager,
                                CControlUI* parent) {
  const wchar_t* source = node.GetAttributeValue(L"source");
  if (source == nullptr || parent == nullptr) return;
  const wchar_t* countText = node.GetAttributeValue(L"count");
  int count = countText != nullptr ? ParseInt(countText) : 1;
  // The markup is read once; every further copy is built from what was read.
  CSkinBuilder included;
  included.state_ = state_;
  for (int i = 0; i < count; ++i) {
    if (++state_->elements > kMaxElements) {
      state_->error = kTooManyError;
      return;
    }
    if (i > 0) {
      included.Rebuild(callback, manager, parent);
    } else if (resType_ != nullptr && IsDecimal(source)) {
      included.Build(static_cast<UINT>(ParseInt(source)), resType_, callback, manager, parent);
    } else {
      included.Build(source, callback, manager, parent);
    }
    if (!state_->error.empty()) return;
  }
}

}  // namespace DuiLib
