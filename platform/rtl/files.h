#pragma once
// Files, folders and paths. Paths use '\' (the functions also accept '/' when splitting), drive letters and UNC.
#include <vector>

#include "platform/rtl/types.h"
#include "platform/rtl/win.h"

namespace rtl {

constexpr wchar_t PathDelim = L'\\';
constexpr wchar_t DriveDelim = L':';
constexpr wchar_t PathSep = L';';

// The executable's full name and its folder (with a trailing delimiter).
String ExeName();
String ExeFolder();
String ParamStr(int index);
int ParamCount();

bool FileExists(const String& fileName);
bool DirectoryExists(const String& directory);
// Drive and folder including the final delimiter ("C:\Data\" for "C:\Data\a.txt").
String ExtractFilePath(const String& fileName);
// Drive and folder without the final delimiter (except for a root such as "C:\").
String ExtractFileDir(const String& fileName);
String ExtractFileDrive(const String& fileName);
String ExtractFileName(const String& fileName);
// Including the dot (".txt"); empty when there is none.
String ExtractFileExt(const String& fileName);
// extension includes the dot; an empty extension removes it.
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& s);
String ExcludeTrailingPathDelimiter(const String& s);
// Absolute path from the current folder; "." and ".." resolved.
String ExpandFileName(const String& fileName);
// destName relative to the folder baseName (baseName is a file name: its folder counts, so pass a trailing
// delimiter for a folder). Different drives give destName unchanged.
String ExtractRelativePath(const String& baseName, const String& destName);
// Creates dir and its missing parents; true when the folder exists afterwards.
bool ForceDirectories(const String& dir);
bool CreateDir(const String& dir);
bool RemoveDir(const String& dir);
bool DeleteFile(const String& fileName);
bool RenameFile(const String& oldName, const String& newName);
bool CopyFile(const String& source, const String& dest, bool failIfExists);
String GetCurrentDir();
bool SetCurrentDir(const String& dir);
Int64 FileSize(const String& fileName);  // -1 when missing
// Last write time as TDateTime in local time; -1 when missing.
TDateTime FileAge(const String& fileName);

// The temporary folder with a trailing delimiter.
String GetTempPath();
// Creates a new empty file named <prefix><unique>.tmp in folder (the temporary folder when empty) and returns its
// full name; raises EInOutError when it cannot.
String GetTempFileName(const String& prefix, const String& folder = String());

// File attributes.
constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faNormal = 0x80;
constexpr Integer faAnyFile = 0x1FF;
Integer FileGetAttr(const String& fileName);  // -1 when missing
bool FileSetAttr(const String& fileName, Integer attr);

struct TSearchRec {
  TDateTime Time = 0;  // last write, local time
  Int64 Size = 0;
  Integer Attr = 0;
  String Name;  // name only, without the folder
  Integer ExcludeAttr = 0;
  HANDLE FindHandle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW FindData{};
};

// Returns 0 and fills f with the first match of path (wildcards allowed) whose attributes are allowed by attr:
// entries with faHidden, faSysFile or faDirectory are returned only when attr contains them. Otherwise the Win32
// error code. Call FindClose when 0 was returned.
Integer FindFirst(const String& path, Integer attr, TSearchRec& f);
Integer FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

// Names (not full paths) of the files in folder matching mask; folders excluded.
std::vector<String> ListFiles(const String& folder, const String& mask = L"*");

}  // namespace rtl
