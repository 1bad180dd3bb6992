// The form and control bindings as scripts use them: a form built by a script with its controls, their states
// read back by the host, script procedures bound to control and form events and fired by the host, a modal form
// ended by a button whose script handler sets ModalResult, and the one application object of the process.
#include "platform/vcl/forms.h"

#include <memory>

#include "fixture.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/application.h"
#include "platform/vcl/stdctrls.h"
#include "tests/common/dialogs.h"

using rtl::String;
using rtl::Variant;

namespace {

// Clicks a button of this thread once its window shows, the way a person would (a posted BM_CLICK), from a timer
// that the modal loop dispatches.
class ClickWhenShown {
 public:
  explicit ClickWhenShown(vcl::TWinControl* control)
      : target_(control), timer_([this] {
          if (target_ && target_->HandleAllocated() && IsWindowVisible(target_->Handle())) {
            PostMessageW(target_->Handle(), BM_CLICK, 0, 0);
            target_ = nullptr;
          }
        }) {}

 private:
  vcl::TWinControl* target_;
  testutil::EveryTick timer_;
};

class FormBindings : public BindingsFixture {
 protected:
  FormBindings() {
    vcl::Application->Initialize();
    script.SetAddedBy(this);
    script.AddMethod(L"procedure ClickWhenShown(Control: TWinControl)", [this](rtl::TObject*, const vcl::TClassInfo*,
                                                                               const String&, TwzMethodHelper* caller) {
      clicker = std::make_unique<ClickWhenShown>(dynamic_cast<vcl::TWinControl*>(caller->GetVParam(0).AsObject()));
      return Variant::Null();
    });
    script.AddVariable(L"Made", L"Variant", Variant(0));
    script.SetAddedBy(nullptr);
  }

  std::unique_ptr<ClickWhenShown> clicker;

  template <class T>
  T* Made() {
    return dynamic_cast<T*>(script.GetVariable(L"Made").AsObject());
  }
};

TEST_F(FormBindings, ScriptBuildsAFormWhoseControlsTheHostSees) {
  ASSERT_EQ(
      RunCatching(L"var f: TForm; b: TButton; e: TEdit; l: TListBox; c: TComboBox;\r\n"
                  L"begin f := TForm.Create(Application); Made := f; f.Caption := 'Betik'; f.Name := 'Built';\r\n"
                  L"  f.SetBounds(10, 10, 300, 200); b := TButton.Create(f); b.Name := 'Tamam'; b.Parent := f;\r\n"
                  L"  b.Caption := 'Tamam'; b.SetBounds(8, 8, 80, 25); e := TEdit.Create(f); e.Name := 'Ad';\r\n"
                  L"  e.Parent := f; e.Top := 40; e.Text := 'Şule'; l := TListBox.Create(f); l.Name := 'Liste';\r\n"
                  L"  l.Parent := f; l.Top := 70; l.Items.Add('bir'); l.Items.Add('iki'); l.ItemIndex := 1;\r\n"
                  L"  c := TComboBox.Create(f); c.Name := 'Secim'; c.Parent := f; c.Left := 150;\r\n"
                  L"  c.Items.CommaText := 'x,y,z'; c.ItemIndex := 2; f.Show; Print(f.Visible);\r\n"
                  L"  Print(TControl(b).Parent = f); Print(l.ItemIndex); Print(c.ItemIndex); e.SetFocus;\r\n"
                  L"  Print(f.ActiveControl = e); Print(f.Canvas <> nil); b.Hide; Print(b.Visible); b.Show;\r\n"
                  L"  Print(b.Visible); Application.ProcessMessages end."),
      L"True;True;1;2;True;True;False;True;");
  std::unique_ptr<vcl::TForm> form(Made<vcl::TForm>());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), L"Betik");
  EXPECT_EQ(form->Width(), 300);
  auto* button = dynamic_cast<vcl::TButton*>(form->FindComponent(L"Tamam"));
  auto* edit = dynamic_cast<vcl::TEdit*>(form->FindComponent(L"Ad"));
  auto* list = dynamic_cast<vcl::TListBox*>(form->FindComponent(L"Liste"));
  auto* combo = dynamic_cast<vcl::TComboBox*>(form->FindComponent(L"Secim"));
  ASSERT_TRUE(button && edit && list && combo);
  EXPECT_EQ(button->Parent(), form.get());
  EXPECT_EQ(button->Left(), 8);
  EXPECT_EQ(button->Caption(), L"Tamam");
  EXPECT_EQ(edit->Text(), L"Şule");
  // The states are the windows' own, not only the objects' fields.
  wchar_t text[64] = {};
  GetWindowTextW(edit->Handle(), text, 64);
  EXPECT_STREQ(text, L"Şule");
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));

  // Hiding and closing the form from a script.
  script.SetVariable(L"Made", Variant::FromObject(form.get()));
  EXPECT_EQ(RunCatching(L"var f: TForm; begin f := TForm(Made); f.Hide; Print(f.Visible); f.Show; f.Close; "
                        L"Print(f.Visible) end."),
            L"False;False;");
}

TEST_F(FormBindings, ListAndComboStatesThroughTheirOwnProperties) {
  EXPECT_EQ(RunCatching(L"var f: TForm; l: TListBox; c: TComboBox;\r\n"
                        L"begin f := TForm.Create(nil); Made := f; l := TListBox.Create(f); l.Parent := f;\r\n"
                        L"  l.MultiSelect := True; l.Items.CommaText := 'a,b,c'; f.Show; l.Selected[0] := True;\r\n"
                        L"  l.Selected[2] := True; Print(l.SelCount); Print(l.Selected[1]); Print(l.Selected[2]);\r\n"
                        L"  l.Selected[2] := False; Print(l.SelCount); c := TComboBox.Create(f); c.Parent := f;\r\n"
                        L"  c.Items.Add('a'); c.DroppedDown := True; Print(c.DroppedDown); c.DroppedDown := False;\r\n"
                        L"  Print(c.DroppedDown) end."),
            L"2;False;True;1;True;False;");
  std::unique_ptr<vcl::TForm> form(Made<vcl::TForm>());
}

TEST_F(FormBindings, ScriptProceduresHandleControlAndFormEvents) {
  ASSERT_EQ(
      RunCatching(L"var f: TForm; b: TButton; e: TEdit;\r\n"
                  L"procedure Clicked(Sender: TObject); begin Print('click ' + TButton(Sender).Name) end;\r\n"
                  L"procedure KeyPressed(Sender: TObject; var Key: Char); begin if Key = 'a' then Key := 'A' "
                  L"end;\r\n"
                  L"procedure KeyDown(Sender: TObject; var Key: Word; Shift: Integer); begin Print(Key); "
                  L"Print(Shift); Key := 0 end;\r\n"
                  L"procedure Closing(Sender: TObject; var CanClose: Boolean); begin CanClose := False end;\r\n"
                  L"procedure Closed(Sender: TObject; var Action: Integer); begin Action := caFree end;\r\n"
                  L"begin f := TForm.Create(nil); Made := f; b := TButton.Create(f); b.Name := 'B1';\r\n"
                  L"  b.Parent := f; b.OnClick := 'Clicked'; e := TEdit.Create(f); e.Name := 'E1'; e.Parent := f;\r\n"
                  L"  e.OnKeyPress := 'KeyPressed'; e.OnKeyDown := 'KeyDown'; f.OnCloseQuery := 'Closing';\r\n"
                  L"  f.OnClose := 'Closed' end."),
      L"");
  std::unique_ptr<vcl::TForm> form(Made<vcl::TForm>());
  auto* button = dynamic_cast<vcl::TButton*>(form->FindComponent(L"B1"));
  auto* edit = dynamic_cast<vcl::TEdit*>(form->FindComponent(L"E1"));
  ASSERT_TRUE(button && edit);
  out.clear();
  button->OnClick(button);
  EXPECT_EQ(out, L"click B1;");
  wchar_t key = L'a';
  edit->OnKeyPress(edit, key);
  EXPECT_EQ(key, L'A');
  rtl::Word code = VK_RETURN;
  out.clear();
  edit->OnKeyDown(edit, code, vcl::TShiftState{vcl::ssShift, vcl::ssCtrl});
  EXPECT_EQ(out, L"13;5;");
  EXPECT_EQ(code, 0);
  bool canClose = true;
  form->OnCloseQuery(form.get(), canClose);
  EXPECT_FALSE(canClose);
  vcl::TCloseAction action = vcl::caHide;
  form->OnClose(form.get(), action);
  EXPECT_EQ(action, vcl::caFree);
  // Unhooked by assigning '0'; a name that is no procedure is refused.
  script.SetVariable(L"Made", Variant::FromObject(button));
  EXPECT_EQ(RunCatching(L"begin TButton(Made).OnClick := '0'; try TButton(Made).OnClick := 'Made' except "
                        L"Print(ExceptionMessage) end end."),
            L"Event handler must be a procedure;");
  EXPECT_FALSE(button->OnClick.Assigned());
}

// A button's script handler that sets the modal form's ModalResult ends ShowModal, which answers the value.
TEST_F(FormBindings, ModalResultSetByAScriptHandlerEndsShowModal) {
  EXPECT_EQ(RunCatching(L"var f: TForm; b: TButton;\r\n"
                        L"procedure Ok(Sender: TObject); begin f.ModalResult := mrOk end;\r\n"
                        L"begin f := TForm.Create(nil); Made := f; f.Caption := 'Modal'; b := TButton.Create(f);\r\n"
                        L"  b.Parent := f; b.Caption := 'Tamam'; b.OnClick := 'Ok'; ClickWhenShown(b);\r\n"
                        L"  Print(f.ShowModal); Print(f.ModalResult); Print(f.Visible) end."),
            L"1;1;False;");
  std::unique_ptr<vcl::TForm> form(Made<vcl::TForm>());
}

TEST_F(FormBindings, OneApplicationForEveryScript) {
  TwzScript other;
  other.AddRTTI();
  ASSERT_NE(vcl::Application, nullptr);
  EXPECT_EQ(other.GetVariable(L"Application").AsObject(), vcl::Application);
  EXPECT_EQ(script.GetVariable(L"Application").AsObject(), vcl::Application);
  const String exe = RunCatching(L"begin Print(Application.ExeName) end.");
  EXPECT_NE(exe.find(L"script_bindings_tests.exe"), String::npos) << rtl::UTF8Encode(exe);
  EXPECT_EQ(RunCatching(L"var d: TDataModule; begin d := TDataModule.Create(Application); Print(d.Owner = "
                        L"Application); d.Free end."),
            L"True;");
}

TEST_F(FormBindings, MembersOfNilAreScriptErrors) {
  // A published property of nil reads as Null; writing it, or calling a member, is an error.
  EXPECT_EQ(RunCatching(L"var f: TForm; begin f := nil; try f.Show except Print(ExceptionClassName) end; "
                        L"Print(VarType(f.Caption)); try f.ModalResult := 1 except Print(ExceptionClassName) end; "
                        L"try f.Parent := nil except Print(ExceptionClassName) end end."),
            L"EwzScriptError;1;EwzScriptError;EwzScriptError;");
}

}  // namespace
