#pragma once
// Control-tree routines of the skinning library: a control's colour as its children see it, whether a control is
// ready to be painted, offering a control to its form's control adapter, walking a tree, painting the graphic
// children of a windowed control over its skin background, and rendering a whole control with its children into
// a bitmap (for snapshots and animations). Sending and broadcasting the command message is in sSkinBroadcast.h.
#include <functional>

#include "platform/vcl/bitmap.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"

class TsCustomSkinProvider;

// What a control's children take as its background colour: nil answers $FF00FF; a skinned control its
// LVC_GETCONTROLCOLOR answer; any other its Color (through ColorToRGB).
vcl::TColor GetControlColor(vcl::TControl* control);
vcl::TColor GetControlColor(HWND handle);
// Not nil, a windowed control with a handle, not being created, read, loaded or destroyed, and placed.
bool ControlIsReady(vcl::TControl* control);
// The control's form is told LVC_CONTROLLOADED (unless designing or loading).
void AddToAdapter(vcl::TWinControl* control);
// proc(child, flag) for every child in index order, descending into windowed children after them.
void IterateControls(vcl::TWinControl* control, int flag, const std::function<void(vcl::TControl*, int)>& proc);
// Every child not being destroyed gets LVC_ENDPARENTUPDATE (nothing while InAnimationProcess).
void SetParentUpdated(vcl::TWinControl* control);
void SetParentUpdated(HWND handle);
// Paints the graphic children of ownerControl into dc, each over the owner's background, through one memory
// bitmap; offset moves them in dc.
void PaintControls(HDC dc, vcl::TWinControl* ownerControl, bool changeCache, vcl::TPoint offset, HWND handle = nullptr,
                   bool checkVisible = true);
// Renders ctrl and its children into bmp with ctrl's top-left at the origin of bmp's DC.
void SkinPaintTo(vcl::TBitmap* bmp, vcl::TControl* ctrl, int left = 0, int top = 0,
                 TsCustomSkinProvider* skinProvider = nullptr);
void PaintChildCtrls(vcl::TWinControl* control, vcl::TBitmap* bmp);
// The outermost ancestor window.
HWND GetRootParent(HWND handle);
// The nearest owner (the component itself first) that is a form.
vcl::TCustomForm* GetOwnerForm(vcl::TComponent* component);
