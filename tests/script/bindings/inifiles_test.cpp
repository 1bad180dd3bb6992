// The settings-file bindings as scripts use them: typed values written and read back through a write-through file and
// an in-memory one, a string list stored in a section and read back (the key layout checked in the file itself),
// section values without their names, and a whole file's text copied to and from a stream.
#include "platform/rtl/inifiles.h"

#include <memory>

#include "fixture.h"
#include "platform/rtl/stringlist.h"

using rtl::String;
using rtl::Variant;

namespace {

class IniBindings : public BindingsFixture {
 protected:
  // The file's lines as they stand on the disk.
  String FileLines(const String& name) {
    rtl::TStringList lines;
    lines.LoadFromFile(folder + name);
    return lines.CommaText();
  }
};

TEST_F(IniBindings, TypedValuesThroughBothKindsOfFile) {
  EXPECT_EQ(
      RunCatching(L"var i: TIniFile; m: TMemIniFile; d: TDateTime;\r\n"
                  L"begin i := TIniFile.Create(Folder + 'ayar.ini'); Print(i.ClassName);\r\n"
                  L"  i.WriteString('Genel', 'Okul', 'Atatürk Lisesi'); i.WriteInteger('Genel', 'Sayi', 42);\r\n"
                  L"  i.WriteBool('Genel', 'Acik', True); i.WriteFloat('Genel', 'Oran', 2.5);\r\n"
                  L"  d := EncodeDate(2024, 2, 29); i.WriteDate('Genel', 'Gun', d);\r\n"
                  L"  Print(i.ReadString('Genel', 'Okul', '')); Print(i.ReadInteger('Genel', 'Sayi', 0));\r\n"
                  L"  Print(i.ReadBool('Genel', 'Acik', False)); Print(i.ReadFloat('Genel', 'Oran', 0) = 2.5);\r\n"
                  L"  Print(i.ReadDate('Genel', 'Gun', 0) = d); Print(VarType(i.ReadDate('Genel', 'Gun', 0)));\r\n"
                  L"  Print(i.ReadInteger('Genel', 'Yok', -1)); Print(i.SectionExists('Genel'));\r\n"
                  L"  Print(i.ValueExists('Genel', 'Yok')); Print(i.FileName = Folder + 'ayar.ini');\r\n"
                  L"  m := TMemIniFile.Create(Folder + 'ayar.ini'); Print(m.ReadString('Genel', 'Okul', ''));\r\n"
                  L"  m.DeleteKey('Genel', 'Sayi'); Print(m.ValueExists('Genel', 'Sayi'));\r\n"
                  L"  Print(i.ValueExists('Genel', 'Sayi')); m.Free; i.EraseSection('Genel');\r\n"
                  L"  Print(i.SectionExists('Genel')); i.Free end."),
      L"TIniFile;Atatürk Lisesi;42;True;True;True;7;-1;True;False;True;Atatürk Lisesi;False;True;False;");
}

TEST_F(IniBindings, StringListsStoredInASection) {
  ASSERT_EQ(RunCatching(
                L"var i: TIniFile; s: TStringList;\r\n"
                L"begin i := TIniFile.Create(Folder + 'liste.ini'); s := TStringList.Create;\r\n"
                L"  s.CommaText := 'a,b,c'; i.WriteTStrings('L', s); s.Clear; s.Add('x');\r\n"
                L"  Print(i.ReadTStrings('L', s)); Print(s.CommaText); i.ReadTStrings('L', s, False);\r\n"
                L"  Print(s.CommaText); i.ReadTStrings('Bos', s, False); Print(s.Count); i.ReadTStrings('Bos', s);\r\n"
                L"  Print(s.Count); s.Free; i.Free end."),
            L"0;a,b,c;a,b,c,a,b,c;6;0;");
  EXPECT_EQ(FileLines(L"liste.ini"), L"[L],Items0=a,Items1=b,Items2=c,Count=3");

  // Five items from an earlier call stay beyond the three written without clearing; Count says 3.
  ASSERT_EQ(
      RunCatching(L"var i: TIniFile; s: TStringList;\r\n"
                  L"begin i := TIniFile.Create(Folder + 'liste.ini'); s := TStringList.Create;\r\n"
                  L"  s.CommaText := '1,2,3,4,5'; i.WriteTStrings('L', s); s.CommaText := 'x,y,z';\r\n"
                  L"  i.WriteTStrings('L', s, False); Print(i.ReadString('L', 'Items4', '')); i.ReadTStrings('L', "
                  L"s);\r\n"
                  L"  Print(s.CommaText); s.Free; i.Free end."),
      L"5;x,y,z;");
  EXPECT_EQ(FileLines(L"liste.ini"), L"[L],Items0=x,Items1=y,Items2=z,Items3=4,Items4=5,Count=3");
}

TEST_F(IniBindings, SectionValuesWithoutTheirNames) {
  EXPECT_EQ(
      RunCatching(L"var m: TMemIniFile; s: TStringList;\r\n"
                  L"begin m := TMemIniFile.Create(Folder + 'yok.ini'); s := TStringList.Create;\r\n"
                  L"  m.WriteString('S', 'a', '1'); m.WriteString('S', 'b', '2'); m.ReadSectionValuesEx('S', s);\r\n"
                  L"  Print(s.CommaText); m.ReadSection('S', s); Print(s.CommaText); m.ReadSectionValues('S', s);\r\n"
                  L"  Print(s.CommaText); m.WriteString('T', 'c', '3'); m.ReadSections(s); Print(s.CommaText);\r\n"
                  L"  m.GetStrings(s); Print(s.CommaText); s.CommaText := '[N],k=v'; m.SetStrings(s);\r\n"
                  L"  Print(m.ReadString('N', 'k', '')); Print(m.SectionExists('S')); m.Clear;\r\n"
                  L"  Print(m.SectionExists('N')); s.Free; m.Free end."),
      L"1,2;a,b;a=1,b=2;S,T;[S],a=1,b=2,,[T],c=3;v;False;False;");
  // An in-memory file is written only when asked: the script never asked.
  EXPECT_FALSE(rtl::FileExists(folder + L"yok.ini"));
}

TEST_F(IniBindings, WholeFileTextThroughAStream) {
  EXPECT_EQ(RunCatching(L"var i: TIniFile; m: TMemIniFile; st: TMemoryStream;\r\n"
                        L"begin i := TIniFile.Create(Folder + 'kaynak.ini'); i.WriteString('A', 'x', 'ğ');\r\n"
                        L"  st := TMemoryStream.Create; i.SaveIniFileToStream(st); Print(st.Size > 0);\r\n"
                        L"  i.SaveIniFileToStream(nil); m := TMemIniFile.Create(Folder + 'hedef.ini');\r\n"
                        L"  st.Position := 0; m.LoadIniFileFromStream(st); Print(m.ReadString('A', 'x', ''));\r\n"
                        L"  m.WriteString('B', 'y', 'ş'); st.Clear; m.SaveIniFileToStream(st); st.Position := 0;\r\n"
                        L"  i.LoadIniFileFromStream(st); Print(i.ReadString('B', 'y', '')); m.Free; i.Free end."),
            L"True;ğ;ş;");
  rtl::TIniFile check(folder + L"kaynak.ini");
  EXPECT_EQ(check.ReadString(L"B", L"y", L""), L"ş");
  EXPECT_EQ(check.ReadString(L"A", L"x", L""), L"ğ");
}

TEST_F(IniBindings, WrongUsesAreErrors) {
  const ScriptCase cases[] = {
      {L"missing file of a write-through object",
       L"var i: TIniFile; st: TMemoryStream; begin i := TIniFile.Create(Folder + 'hic.ini'); st := "
       L"TMemoryStream.Create; try i.SaveIniFileToStream(st) except Print(ExceptionClassName) end; st.Free; i.Free "
       L"end.",
       L"EFOpenError;"},
      {L"the abstract class",
       L"var c: TCustomIniFile; begin try c := TCustomIniFile.Create('x.ini') except Print(ExceptionClassName) end "
       L"end.",
       L"EwzScriptError;"},
      {L"a count far beyond the section",
       L"var m: TMemIniFile; s: TStringList; begin m := TMemIniFile.Create(Folder + 'bozuk.ini'); s := "
       L"TStringList.Create; m.WriteInteger('L', 'Count', 2000000000); try m.ReadTStrings('L', s) except "
       L"Print(ExceptionClassName) end; Print(s.Count); s.Free; m.Free end.",
       L"EConvertError;0;"},
  };
  for (const ScriptCase& c : cases) EXPECT_EQ(RunCatching(c.source), c.printed) << c.name;
}

}  // namespace
