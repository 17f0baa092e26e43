// Attribute handlers as tables: each control class lists {name, handler} pairs inside its
// ApplyAttribute (so the handlers reach its protected members) and passes unmatched names on
// to its base class.
#pragma once

#include <string>

namespace DuiLib {

template <class T>
struct AttributeHandler {
  const wchar_t* name;
  void (*apply)(T& control, const std::wstring& value);
};

template <class T, size_t N>
bool ApplyFromTable(const AttributeHandler<T> (&table)[N], T& control, const std::wstring& name,
                    const std::wstring& value) {
  for (const AttributeHandler<T>& handler : table) {
    if (name == handler.name) {
      handler.apply(control, value);
      return true;
    }
  }
  return false;
}

}  // namespace DuiLib
