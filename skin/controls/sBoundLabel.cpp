#include "skin/controls/sBoundLabel.h"

#include "platform/vcl/messages.h"

namespace {

constexpr vcl::TAlignment LayoutsArray[] = {vcl::taRightJustify, vcl::taLeftJustify, vcl::taCenter,
                                            vcl::taRightJustify, vcl::taLeftJustify, vcl::taLeftJustify,
                                            vcl::taCenter,       vcl::taRightJustify};

bool Designing(vcl::TComponent* c) { return c && c->ComponentState().Contains(vcl::csDesigning); }

}  // namespace

// The label goes with its parent when the parent is freed first: the bound label then forgets it.
class TsBoundLabel::TLabelWatch : public vcl::TComponent {
 public:
  explicit TLabelWatch(TsBoundLabel* bound) : vcl::TComponent(nullptr), bound_(bound) {}

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    vcl::TComponent::Notification(component, operation);
    if (operation == vcl::opRemove && component == static_cast<vcl::TComponent*>(bound_->FTheLabel))
      bound_->FTheLabel = nullptr;
  }

 private:
  TsBoundLabel* bound_;
};

TsEditLabel::TsEditLabel(vcl::TComponent* owner, TsBoundLabel* boundStruct)
    : TsHTMLLabel(owner), FBoundLabel(boundStruct) {
  FUseHTML = false;
}

TsEditLabel::~TsEditLabel() {
  if (FBoundLabel) FBoundLabel->FActive = false;
}

TsBoundLabel::TsBoundLabel(vcl::TWinControl* owner, TsCommonData* commonData)
    : FFont(std::make_unique<vcl::TFont>()),
      FOwner(owner),
      FCommonData(commonData),
      FWatch(std::make_unique<TLabelWatch>(this)) {}

TsBoundLabel::~TsBoundLabel() {
  if (TsEditLabel* label = FTheLabel) {
    FTheLabel = nullptr;
    FWatch->RemoveFreeNotification(label);
    delete label;
  }
}

void TsBoundLabel::Assign(const rtl::TPersistent* source) {
  auto* src = dynamic_cast<const TsBoundLabel*>(source);
  if (!src) {
    rtl::TPersistent::Assign(source);
    return;
  }
  SetCaption(src->FText);
  SetIndent(src->FIndent);
  SetMaxWidth(src->FMaxWidth);
  SetUseHTML(src->FUseHTML);
  SetEnabledAlways(src->FEnabledAlways);
  SetLayout(src->FLayout);
  SetAllowClick(src->FAllowClick);
  SetActive(src->FActive);
}

bool TsBoundLabel::LabelEnabled() const { return FOwner->Enabled() || FEnabledAlways; }

void TsBoundLabel::SetActive(bool value) {
  FActive = value;
  // A control being read has neither its name nor its parent yet: its Loaded makes the label.
  if (value && FOwner->ComponentState().Contains(vcl::csLoading)) return;
  if (value) {
    if (!FTheLabel) {
      auto* label = new TsEditLabel(nullptr, this);
      label->SetVisible(false);
      label->SetUseHTML(FUseHTML);
      FTheLabel = label;
      FWatch->FreeNotification(label);
      label->SetFocusControl(FOwner);
      label->SetAlignment(LayoutsArray[FLayout]);
      label->SetName(FOwner->Name() + L"Label");
      label->SetParent(FOwner->Parent());
    }
    if (FText.empty()) FText = FOwner->Name();
    FTheLabel->SetCaption(FText);
    FTheLabel->SetVisible(FOwner->Visible() || Designing(FOwner));
    FTheLabel->SetEnabled(LabelEnabled());
    FTheLabel->SetAutoSize(true);
    AlignLabel();
  } else if (TsEditLabel* label = FTheLabel) {
    FTheLabel = nullptr;
    FWatch->RemoveFreeNotification(label);
    delete label;
  }
  FActive = value;
  ApplyAllowClick();
}

void TsBoundLabel::AlignLabel() {
  TsEditLabel* l = FTheLabel;
  if (!l || !l->Visible()) return;
  vcl::TWinControl* parent = FOwner->Parent();
  if (parent) parent->DisableAlign();
  const int maxWidth = FMaxWidth > 0 ? FMaxWidth : 9999;
  l->SetAlign(vcl::alNone);
  l->SetWordWrap(true);
  l->SetAutoSize(true);
  // The text is measured the way it shows: as markup only when asked for.
  l->SetUseHTML(FUseHTML);
  l->SetBounds(l->Left(), l->Top(), maxWidth, 0);
  l->FitToText();
  if (FMaxWidth > 0 && l->Width() > FMaxWidth) l->SetWidth(FMaxWidth);
  l->SetEnabled(LabelEnabled());
  vcl::TControl* f = FOwner;
  int left = 0, top = 0;
  switch (FLayout) {
    case sclLeft:
      if (f->Align() == vcl::alLeft) l->SetAlign(vcl::alLeft);
      left = f->Left() - l->Width() - FIndent - 4;
      top = f->Top() + (f->Height() - l->Height()) / 2;
      break;
    case sclTopLeft:
      left = f->Left();
      top = f->Top() - l->Height() - FIndent;
      break;
    case sclTopCenter:
      left = f->Left() + (f->Width() - l->Width()) / 2;
      top = f->Top() - l->Height() - FIndent;
      break;
    case sclTopRight:
      left = f->Left() + f->Width() - l->Width();
      top = f->Top() - l->Height() - FIndent;
      break;
    case sclLeftTop:
      left = f->Left() - l->Width() - FIndent - 4;
      top = f->Top() + 3;
      break;
    case sclBottomLeft:
      left = f->Left();
      top = f->Top() + f->Height() + FIndent;
      break;
    case sclBottomCenter:
      left = f->Left() + (f->Width() - l->Width()) / 2;
      top = f->Top() + f->Height() + FIndent;
      break;
    case sclBottomRight:
      left = f->Left() + f->Width() - l->Width();
      top = f->Top() + f->Height() + FIndent;
      break;
  }
  l->SetBounds(left, top, l->Width(), l->Height());
  l->SetParent(parent);
  if (parent) parent->EnableAlign();
}

void TsBoundLabel::HandleOwnerMsg(const vcl::TMessage& m, vcl::TControl* ownerControl) {
  if (!FTheLabel || !ownerControl) return;
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      AlignLabel();
      break;
    case vcl::CM_VISIBLECHANGED:
      FTheLabel->SetVisible(ownerControl->Visible());
      AlignLabel();
      break;
    case vcl::CM_ENABLEDCHANGED:
      FTheLabel->SetEnabled(ownerControl->Enabled() || FEnabledAlways);
      AlignLabel();
      break;
    case vcl::CM_BIDIMODECHANGED:
      AlignLabel();
      break;
    default:
      break;
  }
}

void TsBoundLabel::SetCaption(const rtl::String& value) {
  if (FText == value) return;
  FText = value;
  if (FActive && FTheLabel) {
    FTheLabel->SetCaption(FText);
    AlignLabel();
  }
}

void TsBoundLabel::SetUseHTML(bool value) {
  if (FUseHTML == value) return;
  FUseHTML = value;
  AlignLabel();
}

void TsBoundLabel::SetEnabledAlways(bool value) {
  if (FEnabledAlways == value) return;
  FEnabledAlways = value;
  if (FActive) AlignLabel();
}

void TsBoundLabel::SetIndent(int value) {
  if (FIndent == value) return;
  FIndent = value;
  if (FActive) AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  if (FMaxWidth == value) return;
  FMaxWidth = value;
  if (FActive) AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  if (FTheLabel) FTheLabel->SetAlignment(LayoutsArray[FLayout]);
  if (FActive) AlignLabel();
}

void TsBoundLabel::SetFont(vcl::TFont* value) {
  // Only an existing label takes the font; a label made later keeps its own.
  if (!FTheLabel || !value) return;
  FTheLabel->Font()->Assign(value);
  FTheLabel->SetParent(FOwner->Parent());
  AlignLabel();
}

bool TsBoundLabel::IsFontStored() const {
  vcl::TFont plain;
  const vcl::TFont* f = FTheLabel ? FTheLabel->Font() : FFont.get();
  return f->Color() != plain.Color() || f->Size() != plain.Size() || f->Orientation() != plain.Orientation() ||
         f->Style() != plain.Style() || f->Pitch() != plain.Pitch() || f->Name() != plain.Name();
}

bool TsBoundLabel::UseSkinColor() const { return FTheLabel ? FTheLabel->UseSkinColor() : true; }

void TsBoundLabel::SetUseSkinColor(bool value) {
  if (FTheLabel) FTheLabel->SetUseSkinColor(value);
}

void TsBoundLabel::SetAllowClick(bool value) {
  FAllowClick = value;
  ApplyAllowClick();
}

void TsBoundLabel::ApplyAllowClick() {
  if (!FTheLabel) return;
  if (FAllowClick) {
    FTheLabel->OnClick.Bind(this, &TsBoundLabel::DoClick);
    FTheLabel->OnDblClick.Bind(this, &TsBoundLabel::DoClick);
  } else {
    FTheLabel->OnClick.Clear();
    FTheLabel->OnDblClick.Clear();
  }
}

void TsBoundLabel::DoClick(rtl::TObject*) {
  if (!Designing(FOwner)) FOwner->Click();
}

VCL_REGISTER(TsEditLabel) {}

VCL_REGISTER(TsBoundLabel) {
  cls.Prop(L"Active", &TsBoundLabel::Active, &TsBoundLabel::SetActive).Default(false);
  cls.Prop(L"AllowClick", &TsBoundLabel::AllowClick, &TsBoundLabel::SetAllowClick).Default(false);
  cls.Prop(L"Caption", &TsBoundLabel::Caption, &TsBoundLabel::SetCaption);
  cls.Prop(L"EnabledAlways", &TsBoundLabel::EnabledAlways, &TsBoundLabel::SetEnabledAlways).Default(false);
  cls.Prop(L"Indent", &TsBoundLabel::Indent, &TsBoundLabel::SetIndent).Default(0);
  cls.Prop(L"Font", &TsBoundLabel::Font, &TsBoundLabel::SetFont).Stored(&TsBoundLabel::IsFontStored);
  cls.Prop(L"Layout", &TsBoundLabel::Layout, &TsBoundLabel::SetLayout).Default(sclLeft);
  cls.Prop(L"MaxWidth", &TsBoundLabel::MaxWidth, &TsBoundLabel::SetMaxWidth).Default(0);
  cls.Prop(L"UseHTML", &TsBoundLabel::UseHTML, &TsBoundLabel::SetUseHTML).Default(false);
  cls.Prop(L"UseSkinColor", &TsBoundLabel::UseSkinColor, &TsBoundLabel::SetUseSkinColor).Default(true);
}
