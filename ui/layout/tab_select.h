// ITabSelectUI: the page selector of a tab layout (a container showing one page at a time). A
// control answers GetInterface(kTabSelectInterface) with it; a button's tab binding drives a layout
// only through this interface, so it needs no knowledge of the layout's class.
#pragma once

namespace ZQUI {

constexpr const wchar_t* kTabSelectInterface = L"TabSelect";

class ITabSelectUI {
 public:
  // Shows page `index` and hides the others; false when there is no such page.
  virtual bool SelectItem(int index, bool triggerEvent) = 0;

 protected:
  ~ITabSelectUI() = default;
};

}  // namespace ZQUI
