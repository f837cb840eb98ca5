#include "ui/layout/box_layout_base.h"

#include <vector>

#include "ui/core/std_ptr_array.h"
#include "ui/layout/container.h"

namespace ZQUI {

BoxLayoutExtent LayOutBoxChildren(CContainerUI& layout, const CStdPtrArray& items, const BoxLayoutPass& pass) {
  const bool v = pass.vertical;
  auto minMain = [v](CControlUI* c) -> int64_t { return v ? c->GetMinHeight() : c->GetMinWidth(); };
  auto maxMain = [v](CControlUI* c) -> int64_t { return v ? c->GetMaxHeight() : c->GetMaxWidth(); };
  auto minCross = [v](CControlUI* c) -> int64_t { return v ? c->GetMinWidth() : c->GetMinHeight(); };
  auto maxCross = [v](CControlUI* c) -> int64_t { return v ? c->GetMaxWidth() : c->GetMaxHeight(); };
  auto nearMain = [v](const RECT& r) -> int64_t { return v ? r.top : r.left; };
  auto farMain = [v](const RECT& r) -> int64_t { return v ? r.bottom : r.right; };
  auto nearCross = [v](const RECT& r) -> int64_t { return v ? r.left : r.top; };
  auto farCross = [v](const RECT& r) -> int64_t { return v ? r.right : r.bottom; };
  const int64_t childPadding = pass.childPadding;

  std::vector<LayoutEntry> entries(static_cast<size_t>(items.GetSize()));
  int adjustable = 0;
  int laidOut = 0;
  int64_t fixedTotal = 0;
  int64_t crossMost = 0;
  for (int i = 0; i < items.GetSize(); ++i) {
    LayoutEntry& entry = entries[static_cast<size_t>(i)];
    CControlUI* control = static_cast<CControlUI*>(items.GetAt(i));
    entry.control = control;
    entry.visible = control->IsVisible();
    entry.floating = control->IsFloat();
    if (!entry.visible || entry.floating) continue;
    entry.padding = control->GetPadding();
    const RECT& pad = entry.padding;
    entry.widthLimit = control->GetFixedWidth() < 1 ? control->GetMaxWidth() : control->GetFixedWidth();
    entry.heightLimit = control->GetFixedHeight() < 1 ? control->GetMaxHeight() : control->GetFixedHeight();
    const int64_t mainLimit = v ? entry.heightLimit : entry.widthLimit;
    const int64_t crossLimit = v ? entry.widthLimit : entry.heightLimit;
    // Only the cross axis leaves the child's padding out of what it is offered.
    const int availMain = ClampLayoutValue(MinValue(mainLimit, pass.availableMain));
    const int availCross =
        ClampLayoutValue(MinValue(crossLimit, pass.availableCross - nearCross(pad) - farCross(pad)));
    SIZE available = v ? SIZE{availCross, availMain} : SIZE{availMain, availCross};
    SIZE estimate = control->EstimateSize(available);
    int64_t mainSize = v ? estimate.cy : estimate.cx;
    if (mainSize == 0) {
      entry.adjustable = true;
      ++adjustable;
    } else {
      mainSize = ClampToLimits(mainSize, minMain(control), maxMain(control));
    }
    fixedTotal += nearMain(pad) + mainSize + farMain(pad);
    int64_t crossSize = v ? estimate.cx : estimate.cy;
    if (crossSize < 0) crossSize = 0;
    crossSize = ClampToLimits(crossSize, minCross(control), maxCross(control));
    (v ? entry.height : entry.width) = mainSize;
    (v ? entry.width : entry.height) = crossSize;
    crossMost = MaxValue(crossMost, nearCross(pad) + crossSize + farCross(pad));
    ++laidOut;
  }
  if (laidOut > 0) fixedTotal += (laidOut - 1) * childPadding;

  int64_t share = 0;
  if (adjustable > 0) share = MaxValue(0, (pass.availableMain - fixedTotal) / adjustable);

  int64_t cursor = nearMain(pass.client);
  if (pass.mainBar) {
    cursor -= pass.mainBarPos;
  } else if (adjustable == 0) {
    if (pass.mainPlacement == BoxPlacement::kCentre) cursor += (pass.availableMain - fixedTotal) / 2;
    else if (pass.mainPlacement == BoxPlacement::kFar) cursor += pass.availableMain - fixedTotal;
  }

  int64_t remaining = pass.availableMain;
  int64_t fixedLeft = fixedTotal;
  BoxLayoutExtent extent;
  int adjustIndex = 0;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    LayoutEntry& entry = entries[static_cast<size_t>(i)];
    if (!entry.visible) continue;
    if (entry.floating) {
      layout.SetFloatPos(i);
      continue;
    }
    CControlUI* control = entry.control;
    const RECT& pad = entry.padding;
    remaining -= nearMain(pad);
    fixedLeft -= nearMain(pad) + farMain(pad);
    if (i > 0) fixedLeft -= childPadding;

    int64_t mainSize = v ? entry.height : entry.width;
    if (entry.adjustable) {
      ++adjustIndex;
      mainSize = adjustIndex == adjustable ? MaxValue(0, remaining - farMain(pad) - fixedLeft) : share;
      mainSize = ClampToLimits(mainSize, minMain(control), maxMain(control));
    } else {
      fixedLeft -= mainSize;
    }

    const int64_t room = pass.availableCross - nearCross(pad) - farCross(pad);
    const int64_t crossLimit = v ? entry.widthLimit : entry.heightLimit;
    int64_t crossSize;
    if (pass.crossFromEstimate) {
      crossSize = MaxValue(0, v ? entry.width : entry.height);
      if (crossSize == 0) crossSize = room;
    } else {
      crossSize = crossLimit;
      if (crossSize == 0) crossSize = room;
      if (crossSize < 0) crossSize = 0;
    }
    crossSize = MinValue(crossSize, MinValue(crossLimit, room));
    if (crossSize < minCross(control)) crossSize = minCross(control);

    int64_t crossStart =
        CrossAxisStart(pass.crossPlacement, static_cast<LONG>(nearCross(pass.client)),
                       static_cast<LONG>(farCross(pass.client)), pass.crossBarRange, pass.crossBarPos,
                       static_cast<LONG>(nearCross(pad)), static_cast<LONG>(farCross(pad)), crossSize);
    int64_t mainStart = cursor + nearMain(pad);
    int64_t left = v ? crossStart : mainStart;
    int64_t top = v ? mainStart : crossStart;
    int64_t width = v ? crossSize : mainSize;
    int64_t height = v ? mainSize : crossSize;
    RECT rcCtrl = {ClampLayoutValue(left), ClampLayoutValue(top), ClampLayoutValue(left + width),
                   ClampLayoutValue(top + height)};
    control->SetPos(rcCtrl, false);

    extent.main += nearMain(pad) + mainSize + farMain(pad);
    cursor += nearMain(pad) + mainSize + farMain(pad) + childPadding;
    remaining -= mainSize + farMain(pad) + childPadding;
  }
  if (laidOut > 0) extent.main += (laidOut - 1) * childPadding;
  extent.cross = crossMost;
  return extent;
}

}  // namespace ZQUI
