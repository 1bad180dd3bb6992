// The class, list, string and stream bindings as scripts use them: pointer lists, string lists (names and values,
// sorting, finding), streams over files and memory with texts read and written through them, components and their
// owners, collections, and the script XML tree saved and read back; members called on nil or on an object of the
// wrong class end in a script error.
#include <memory>

#include "fixture.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/statusbar.h"

using rtl::String;
using rtl::Variant;

namespace {

class ClassBindings : public BindingsFixture {};

TEST_F(ClassBindings, ScriptsUseListsStringsAndStreams) {
  const ScriptCase cases[] = {
      {L"pointer list",
       L"var l: TList; a, b: TStringList;\r\n"
       L"begin l := TList.Create; a := TStringList.Create; b := TStringList.Create;\r\n"
       L"  Print(l.Add(a)); Print(l.Add(b)); Print(l.Add(a)); Print(l.Count); Print(l.IndexOf(b));\r\n"
       L"  Print(l.Remove(a)); Print(l.Count); Print(l.Remove(l)); l.Insert(0, b); Print(l.IndexOf(b));\r\n"
       L"  l[1] := a; Print(TStringList(l[1]).ClassName); l.Delete(0); Print(l.Count); l.Clear; Print(l.Count);\r\n"
       L"  a.Free; b.Free; l.Free end.",
       L"0;1;2;3;1;0;2;-1;0;TStringList;2;0;"},
      {L"string list: lines, names and values",
       L"var s, t: TStringList;\r\n"
       L"begin s := TStringList.Create; Print(s.ClassName); s.Add('b=2'); s.Add('a=1'); s.Insert(0, 'c=3');\r\n"
       L"  Print(s.Count); Print(s[0]); Print(s.Names[1]); Print(s.Values['a']); s.Values['d'] := '4';\r\n"
       L"  Print(s.CommaText); Print(s.IndexOfName('a')); s.Move(3, 0); Print(s.CommaText); s.Delete(1);\r\n"
       L"  Print(s.IndexOf('B=2')); s[0] := 'z=26'; s.Objects[0] := s; Print(s.IndexOfObject(s));\r\n"
       L"  s.AddObject('o', s); s.InsertObject(0, 'p', nil); Print(s.Count); Print(TStringList(s.Objects[4]) = s);\r\n"
       L"  t := TStringList.Create; t.Assign(s); Print(t.CommaText); t.Text := 'x' + #13#10 + 'y z';\r\n"
       L"  Print(t.Count); Print(t[1]); t.CommaText := 'x y,\"p q\"'; Print(t.Count); Print(t[2]); s.Free; t.Free "
       L"end.",
       L"TStringList;3;c=3;b;1;c=3,b=2,a=1,d=4;2;d=4,c=3,b=2,a=1;1;0;5;True;p,z=26,b=2,a=1,o;2;y z;3;p q;"},
      {L"string list: sorting, finding and duplicates",
       L"var s: TStringList; i: Integer;\r\n"
       L"begin s := TStringList.Create; s.Add('b'); s.Add('d'); s.Add('a'); s.Add('b');\r\n"
       L"  s.Duplicates := dupIgnore; Print(s.CommaText); Print(s.Sorted);\r\n"
       L"  s.Sorted := True; Print(s.CommaText); Print(s.Sorted);\r\n"
       L"  Print(s.Find('c', i)); Print(i); Print(s.Find('d', i)); Print(i); Print(s.Find('0', i)); Print(i);\r\n"
       L"  s.Duplicates := dupError; Print(s.Duplicates); s.Sorted := False; s.Add('0'); s.Sort; Print(s[0]);\r\n"
       L"  s.Free end.",
       L"b,d,a,b;False;a,b,b,d;True;False;3;True;3;False;0;2;0;"},
      {L"streams: text through a file and memory",
       L"var f: TFileStream; m: TMemoryStream; buf: String;\r\n"
       L"begin f := TFileStream.Create(Folder + 'data.bin', fmCreate); Print(f.ClassName);\r\n"
       L"  Print(f.Write('Ağaç', 8)); Print(f.Size); Print(VarType(f.Size) = varInt64); Print(f.Position);\r\n"
       L"  Print(f.Seek(0, soFromBeginning)); Print(f.Read(buf, 8)); Print(buf);\r\n"
       L"  f.Position := 2; Print(f.Read(buf, 100)); Print(buf); Print(f.Seek(-2, soFromEnd)); f.Free;\r\n"
       L"  f := TFileStream.Create(Folder + 'data.bin', fmOpenRead or fmShareDenyWrite);\r\n"
       L"  m := TMemoryStream.Create; Print(m.CopyFrom(f, 0)); m.SaveToFile(Folder + 'copy.bin'); m.Clear;\r\n"
       L"  Print(m.Size); m.LoadFromFile(Folder + 'copy.bin'); Print(m.Size); m.Position := 0; f.Position := 4;\r\n"
       L"  m.LoadFromStream(f); Print(m.Size); f.Free; m.Free end.",
       L"TFileStream;8;8;True;8;0;8;Ağaç;6;ğaç;6;8;0;8;8;"},
      {L"string list through a stream and a file",
       L"var s, t: TStringList; m: TMemoryStream;\r\n"
       L"begin s := TStringList.Create; t := TStringList.Create; m := TMemoryStream.Create;\r\n"
       L"  s.Add('şeker'); s.Add('İzmir'); s.SaveToStream(m); m.Position := 0; t.LoadFromStream(m);\r\n"
       L"  Print(t.CommaText); s.SaveToFile(Folder + 'lines.txt'); t.Clear; t.LoadFromFile(Folder + 'lines.txt');\r\n"
       L"  Print(t[1]); m.Free; s.Free; t.Free end.",
       L"şeker,İzmir;İzmir;"},
      {L"components and owners",
       L"var owner, c: TComponent; b: TButton;\r\n"
       L"begin owner := TComponent.Create(nil); Print(owner.Owner = nil); c := TComponent.Create(owner);\r\n"
       L"  Print(c.Owner = owner); b := TButton.Create(owner); Print(b.ClassName); Print(b.Owner = owner);\r\n"
       L"  c.Name := 'Inner'; Print(c.Name); owner.Free end.",
       L"True;True;TButton;True;Inner;"},
      {L"script XML tree",
       L"var d: TwzXMLDocument; r, x: TwzXMLItem;\r\n"
       L"begin d := TwzXMLDocument.Create; r := d.Root; r.Name := 'root';\r\n"
       L"  x := r.Add; x.Name := 'item'; x.Prop['id'] := '7'; x.Data := 5; Print(x.Data); Print(x.Text);\r\n"
       L"  Print(r.Count); Print(r.Find('item')); Print(r.Find('none')); x := r.FindItem('other'); Print(r.Count);\r\n"
       L"  Print(x.Name); Print(x.Parent = r); Print(x.Root = r); x := TwzXMLItem.Create; x.Name := 'first';\r\n"
       L"  r.InsertItem(0, x);\r\n"
       L"  Print(r[1].Name); d.SaveToFile(Folder + 'doc.xml'); d.Free;\r\n"
       L"  d := TwzXMLDocument.Create; d.LoadFromFile(Folder + 'doc.xml'); Print(d.Root.Count);\r\n"
       L"  Print(d.Root[1].Prop['id']); r := d.Root; r.Clear; Print(r.Count); d.Free end.",
       L"5;id=\"7\";1;0;-1;2;other;True;True;item;3;7;0;"},
  };
  for (const ScriptCase& c : cases) EXPECT_EQ(RunCatching(c.source), c.printed) << c.name;
  EXPECT_TRUE(rtl::FileExists(folder + L"doc.xml"));
  EXPECT_EQ(rtl::FileSize(folder + L"data.bin"), 8);
}

TEST_F(ClassBindings, CollectionsOfTheHost) {
  vcl::TCollection panels(vcl::TStatusPanel::StaticClass());
  panels.Add();
  panels.Add();
  script.SetAddedBy(this);
  script.AddObject(L"Panels", &panels);
  script.SetAddedBy(nullptr);
  EXPECT_EQ(RunCatching(L"begin Print(Panels.Count); Print(Panels[1].ClassName); Panels.Clear; Print(Panels.Count); "
                        L"try Print(Panels[0].ClassName) except Print(ExceptionClassName) end end."),
            L"2;TStatusPanel;0;EListError;");
}

// Wrong uses end in the platform's or the script's errors, which a script catches; none of them crashes.
TEST_F(ClassBindings, WrongUsesAreScriptErrors) {
  const ScriptCase cases[] = {
      {L"free of nil", L"var x: TStringList; begin x := nil; x.Free; Print('ok') end.", L"ok;"},
      {L"member of nil",
       L"var x: TStringList; begin x := nil; try x.Add('a') except Print(ExceptionClassName) end end.",
       L"EwzScriptError;"},
      {L"member of an object of another class",
       L"var l: TList; begin l := TList.Create; try TStringList(l).Add('x') except Print(ExceptionMessage) end; "
       L"l.Free end.",
       L"'Add' does not apply to an object of class TList;"},
      {L"a number is no object",
       L"var l: TList; v: Variant; begin l := TList.Create; v := 12; try l.Add(v) except Print(ExceptionClassName) "
       L"end; l.Free end.",
       L"EwzScriptError;"},
      {L"index out of range",
       L"var s: TStringList; begin s := TStringList.Create; try Print(s[3]) except Print(ExceptionClassName) end; "
       L"s.Free end.",
       L"EStringListError;"},
      {L"more bytes than the text holds",
       L"var m: TMemoryStream; begin m := TMemoryStream.Create; try m.Write('ab', 5) except "
       L"Print(ExceptionClassName) end; Print(m.Size); m.Free end.",
       L"ERangeError;0;"},
      {L"file that cannot be opened",
       L"var f: TFileStream; begin try f := TFileStream.Create(Folder + 'missing\\none.bin', fmOpenRead) except "
       L"Print(ExceptionClassName) end end.",
       L"EFOpenError;"},
      {L"abstract class", L"var s: TStream; begin try s := TStream.Create except Print(ExceptionClassName) end end.",
       L"EwzScriptError;"},
  };
  for (const ScriptCase& c : cases) EXPECT_EQ(RunCatching(c.source), c.printed) << c.name;
}

// A list named by its abstract class is made as a string list, whatever constructor it reaches.
TEST_F(ClassBindings, StringsConstructorMakesAStringList) {
  EXPECT_EQ(RunCatching(L"var s: TStrings; begin s := TStrings.Create; Print(s.ClassName); s.Add('a'); "
                        L"Print(s.Count); s.Free end."),
            L"TStringList;1;");
}

}  // namespace
