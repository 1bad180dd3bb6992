#include "platform/vcl/component.h"

#include <gtest/gtest.h>

#include "platform/vcl/collection.h"
#include "testclasses.h"

using namespace vcl;
using namespace coretest;

TEST(Component, OwnerFreesOwnedComponentsLastFirst) {
  std::vector<String> freed;
  auto* owner = new TTestComponent(nullptr);
  auto* a = new TTestComponent(owner);
  auto* b = new TTestComponent(owner);
  a->SetName(L"A");
  b->SetName(L"B");
  a->log = b->log = &freed;
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(b->ComponentIndex(), 1);
  owner->Free();
  EXPECT_EQ(freed, (std::vector<String>{L"B", L"A"}));
}

TEST(Component, NamesAreValidatedAndUniqueIgnoringCase) {
  TTestComponent owner(nullptr);
  auto* a = new TTestComponent(&owner);
  auto* b = new TTestComponent(&owner);
  a->SetName(L"Edit1");
  EXPECT_THROW(b->SetName(L"EDIT1"), EComponentError);
  EXPECT_THROW(b->SetName(L"1Edit"), EComponentError);
  EXPECT_THROW(b->SetName(L"Öğrenci"), EComponentError);
  b->SetName(L"Edit2");
  a->SetName(L"EDIT1");  // renaming itself in another case is fine
  EXPECT_EQ(owner.FindComponent(L"edit2"), b);
  EXPECT_EQ(owner.FindComponent(L"Nothing"), nullptr);
  // Under a Turkish locale "EDIT1" must still match "edit1" (ASCII rules, no dotless i).
  EXPECT_EQ(owner.FindComponent(L"edit1"), a);
}

TEST(Component, FreeNotificationClearsReferences) {
  TTestComponent owner(nullptr);
  auto* holder = new TTestComponent(&owner);
  auto* other = new TTestComponent(nullptr);
  holder->SetRef(other);
  EXPECT_EQ(holder->Ref(), other);
  other->Free();
  EXPECT_EQ(holder->Ref(), nullptr);
}

TEST(Component, FormFieldsFollowNamesAndAreClearedOnFree) {
  TTestForm form(nullptr);
  auto* button = new TTestButton(&form);
  EXPECT_EQ(form.Button1, nullptr);
  button->SetName(L"Button1");
  EXPECT_EQ(form.Button1, button);
  button->SetName(L"Other");
  EXPECT_EQ(form.Button1, nullptr);
  button->SetName(L"Button1");
  button->Free();
  EXPECT_EQ(form.Button1, nullptr);
}

TEST(Component, DestroyingStateSeenByChildrenDuringFree) {
  auto* owner = new TTestComponent(nullptr);
  auto* child = new TTestComponent(owner);
  bool sawDestroying = false;
  child->onFree = [&](TTestComponent* c) { sawDestroying = c->Owner() == nullptr || c->ComponentState().Contains(csDestroying); };
  owner->Free();
  EXPECT_TRUE(sawDestroying);
}

TEST(Registry, ClassesRegisterWithParentsAndFactories) {
  const TClassInfo* cls = FindClass(L"TTestButton");
  ASSERT_NE(cls, nullptr);
  EXPECT_TRUE(cls->InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(TComponent::StaticClass()->InheritsFrom(cls));
  EXPECT_EQ(GetClass(L"ttestbutton"), nullptr);  // class names match exactly
  EXPECT_THROW(FindClass(L"TNoSuchClass"), rtl::EClassNotFound);

  TTestComponent owner(nullptr);
  TCreateArgs args;
  args.Owner = &owner;
  TObject* obj = cls->CreateInstance(args);
  auto* button = dynamic_cast<TTestButton*>(obj);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Owner(), &owner);
  EXPECT_TRUE(button->constructed);  // the real constructor ran
  EXPECT_TRUE(button->afterConstruction);
  EXPECT_EQ(button->ClassName(), L"TTestButton");
  EXPECT_EQ(ClassOf(button), cls);
}

TEST(Registry, PropertiesInDeclarationOrderInheritedFirst) {
  std::vector<String> names;
  for (const TPropInfo* p : TTestButton::StaticClass()->Properties()) names.push_back(p->Name());
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], L"Name");
  EXPECT_EQ(names[1], L"Tag");
  EXPECT_EQ(names[2], L"Caption");
}

TEST(Registry, KindsAndTypeNames) {
  struct Case {
    const wchar_t* name;
    TTypeKind kind;
    const wchar_t* typeName;
  };
  const Case cases[] = {
      {L"Caption", tkUString, L"String"},    {L"Enabled", tkEnumeration, L"Boolean"},
      {L"Align", tkEnumeration, L"TTestAlign"}, {L"Style", tkSet, L"TTestStyles"},
      {L"Width", tkInteger, L"Integer"},     {L"Ratio", tkFloat, L"Double"},
      {L"Big", tkInt64, L"Int64"},           {L"Value", tkVariant, L"Variant"},
      {L"Font", tkClass, L"TTestFont"},      {L"Link", tkClass, L"TComponent"},
      {L"OnClick", tkMethod, L"TMethod"},    {L"Letter", tkWChar, L"Char"},
  };
  const TClassInfo* cls = TTestButton::StaticClass();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPropInfo* p = cls->FindProperty(c.name);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Kind(), c.kind);
    EXPECT_EQ(p->TypeName(), c.typeName);
  }
  EXPECT_TRUE(cls->FindProperty(L"Font")->IsSubObject());
  EXPECT_TRUE(cls->FindProperty(L"Link")->IsReference());
  EXPECT_NE(cls->FindProperty(L"caption"), nullptr);  // identifiers ignore case
}

TEST(Registry, AccessByNameAndDottedPaths) {
  TTestForm form(nullptr);
  auto* b = new TTestButton(&form);
  SetStrProp(b, L"Caption", L"Kaydet");
  EXPECT_EQ(b->Caption(), L"Kaydet");
  SetStrProp(b, L"Font.Name", L"Tahoma");
  EXPECT_EQ(b->Font()->Name(), L"Tahoma");
  SetEnumProp(b, L"Align", L"ALTTOP");
  EXPECT_EQ(b->Align(), altTop);
  EXPECT_EQ(GetEnumProp(b, L"Align"), L"altTop");
  SetSetProp(b, L"Style", L"[tsBold, tsItalic]");
  EXPECT_EQ(GetSetProp(b, L"Style"), L"[tsBold,tsItalic]");
  SetSetProp(b, L"Font.Styles", L"[]");
  EXPECT_TRUE(b->Font()->Styles().Empty());
  EXPECT_THROW(SetSetProp(b, L"Style", L"[tsNope]"), EPropertyConvertError);
  EXPECT_THROW(SetStrProp(b, L"Nothing.Name", L"x"), EPropertyError);
  EXPECT_THROW(SetStrProp(b, L"Caption.Name", L"x"), EPropertyError);
  SetOrdProp(b, L"Enabled", 0);
  EXPECT_FALSE(b->Enabled());
  SetPropText(b, L"Width", L"120");
  EXPECT_EQ(b->Width(), 120);
  SetPropText(b, L"Ratio", L"1.5");
  EXPECT_DOUBLE_EQ(b->ratio, 1.5);
  EXPECT_EQ(GetPropText(b, L"Ratio"), L"1.5");
  SetVariantProp(b, L"Value", rtl::Variant(42));
  EXPECT_EQ(GetVariantProp(b, L"Value"), rtl::Variant(42));
}

TEST(Registry, EventsBindToRegisteredMethodsByNameAndBack) {
  TTestForm form(nullptr);
  auto* b = new TTestButton(&form);
  SetMethodProp(b, L"OnClick", &form, L"button1click");
  ASSERT_TRUE(b->OnClick);
  b->OnClick(b);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(GetMethodName(b, L"OnClick"), L"Button1Click");

  // Bound in code, the name is found again from the member pointer.
  b->OnClick.Bind(&form, &TTestForm::OtherClick);
  EXPECT_EQ(GetMethodName(b, L"OnClick"), L"OtherClick");
  b->OnClick = [](TObject*) {};
  EXPECT_EQ(GetMethodName(b, L"OnClick"), L"");

  EXPECT_THROW(SetMethodProp(b, L"OnClick", &form, L"NoSuchMethod"), EPropertyError);
  // A method whose signature does not fit the event.
  EXPECT_THROW(SetMethodProp(b, L"OnClick", &form, L"KeyHandler"), EPropertyError);
}

TEST(Collection, AddInsertDeleteAndNames) {
  TTestGrid grid(nullptr);
  grid.SetName(L"Grid1");
  TCollection* cols = grid.Columns();
  auto* c1 = cols->Add<TTestColumn>();
  auto* c2 = cols->Add<TTestColumn>();
  c1->SetFieldName(L"AD");
  c2->SetFieldName(L"SOYAD");
  auto* c0 = dynamic_cast<TTestColumn*>(cols->Insert(0));
  ASSERT_NE(c0, nullptr);
  EXPECT_EQ(cols->Count(), 3);
  EXPECT_EQ(cols->Items(0), c0);
  EXPECT_EQ(c2->Index(), 2);
  EXPECT_EQ(c2->DisplayName(), L"SOYAD");
  EXPECT_EQ(cols->PropName(), L"Columns");
  EXPECT_EQ(c2->GetNamePath(), L"Grid1.Columns[2]");
  EXPECT_EQ(grid.addedSeen, (std::vector<String>{L"TTestColumn", L"TTestColumn", L"TTestColumn"}));
  cols->Delete(1);
  EXPECT_EQ(cols->Count(), 2);
  EXPECT_EQ(cols->Items(1), c2);
  EXPECT_THROW(cols->Items(5), rtl::EListError);
  int updatesBefore = grid.updates;
  cols->BeginUpdate();
  c0->SetFieldName(L"X");
  c2->SetFieldName(L"Y");
  cols->EndUpdate();
  EXPECT_EQ(grid.updates, updatesBefore + 1);
}
