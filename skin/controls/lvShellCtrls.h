#pragma once
// Items of the Windows shell namespace for shell-browsing controls: item ID lists (PIDLs) from the shell's
// allocator, attribute queries turned into small sets, display names with an extension policy, and
// TlvShellFolder, one namespace item with its relative and absolute IDs, its parent and its detail interfaces got
// on first use. OLE, the desktop folder object and the system's small-icon list are set up on the first use of any
// of it (lvShellInit), on the user-interface thread.
// clang-format off
#include "platform/rtl/win.h"
#include <shlobj.h>
// clang-format on

#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/set.h"
#include "platform/vcl/typinfo.h"

class TsAlphaImageList;

VCL_ENUM(TlvShellFolderCapability, fcCanCopy, fcCanDelete, fcCanLink, fcCanMove, fcCanRename, fcDropTarget,
         fcHasPropSheet)
VCL_SET(TlvShellFolderCapabilities, TlvShellFolderCapability)
VCL_ENUM(TlvShellFolderProperty, fpCut, fpIsLink, fpReadOnly, fpShared, fpFileSystem, fpFileSystemAncestor,
         fpRemovable, fpValidate)
VCL_SET(TlvShellFolderProperties, TlvShellFolderProperty)
VCL_ENUM(TlvShowExtension, seSystem, seShow, seHide)

// ID lists.
LPITEMIDLIST CreatePIDL(UINT size);
LPITEMIDLIST NextPIDL(LPCITEMIDLIST idList);
UINT GetPIDLSize(LPCITEMIDLIST idList);
LPITEMIDLIST CopyPIDL(LPCITEMIDLIST idList);
LPITEMIDLIST ConcatPIDLs(LPCITEMIDLIST idList1, LPCITEMIDLIST idList2);
void DisposePIDL(LPITEMIDLIST idList);
IShellFolder* DesktopShellFolder();  // not add-ref'd: the unit keeps it
LPITEMIDLIST DesktopPIDL();          // the caller frees it
bool IsElement(UINT element, UINT flag);

// Attributes of one item of ParentFolder.
TlvShellFolderCapabilities GetCaps(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
TlvShellFolderProperties GetProperties(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetIsFolder(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetIsLink(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetIsReadOnly(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetHasSubFolders(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetIsFileFolder(IShellFolder* parentFolder, LPCITEMIDLIST pidl);
bool GetIsFile(IShellFolder* parentFolder, LPCITEMIDLIST pidl);

// Names and interfaces.
int GetShellImage(LPCITEMIDLIST pidl, bool large, bool open);
void StrRetToString(LPCITEMIDLIST pidl, STRRET& strRet, rtl::String& result);
rtl::String GetDisplayName(IShellFolder* parentFolder, LPCITEMIDLIST pidl, DWORD flags, TlvShowExtension showExt);
IShellDetails* GetIShellDetails(IShellFolder* folder, LPCITEMIDLIST pidl, HWND handle);  // add-ref'd or nil
IShellFolder2* GetIShellFolder2(IShellFolder* folder, LPCITEMIDLIST pidl, HWND handle);  // add-ref'd or nil

class TlvShellFolder {
 public:
  // sf: the item's own folder interface when it is a folder (kept with a reference), or nil.
  TlvShellFolder(TlvShellFolder* parent, LPCITEMIDLIST id, IShellFolder* sf);
  ~TlvShellFolder();
  TlvShellFolder(const TlvShellFolder&) = delete;
  TlvShellFolder& operator=(const TlvShellFolder&) = delete;

  LPITEMIDLIST AbsoluteID() const { return FFullPIDL; }
  LPITEMIDLIST RelativeID() const { return FPIDL; }
  int Level() const { return FLevel; }
  TlvShellFolder* Parent() const { return FParent; }
  IShellFolder* ShellFolder() const { return FIShellFolder; }
  IShellFolder2* ShellFolder2();
  IShellDetails* ShellDetails();
  HWND ViewHandle() const { return FViewHandle; }
  void SetViewHandle(HWND value) { FViewHandle = value; }

  // The parent's folder interface (the desktop's without a parent).
  IShellFolder* ParentShellFolder() const;
  TlvShellFolderProperties Properties() const;
  TlvShellFolderCapabilities Capabilities() const;
  bool SubFolders() const;
  bool IsFileFolder() const;
  bool IsReadOnly() const;
  bool IsFolder(const rtl::String& name = rtl::String(), bool openZipFiles = false) const;
  bool IsFile(const rtl::String& name = rtl::String(), bool openZipFiles = false) const;
  rtl::String PathName() const;
  rtl::String DisplayName(TlvShowExtension showExt = seSystem) const;
  int ImageIndex(bool largeIcon) const;
  bool ExecuteDefault();
  // False when renaming is not allowed; raises "Rename to <name> failed" when the shell refuses.
  bool Rename(const rtl::String& newName);
  // The texts of the first columns of the item's details (name, size, type, date... as the parent folder shows
  // them), read through the detail interface of the parent folder.
  void LoadColumnDetails(int columns);
  rtl::String Details(int index) const;
  void SetDetails(int index, const rtl::String& value);
  int DetailCount() const { return FDetails->Count(); }

 private:
  void GetDetailInterface();

  LPITEMIDLIST FPIDL = nullptr;
  LPITEMIDLIST FFullPIDL = nullptr;
  int FLevel = 0;
  std::unique_ptr<rtl::TStringList> FDetails;
  HWND FViewHandle = nullptr;
  TlvShellFolder* FParent = nullptr;
  IShellFolder* FIShellFolder = nullptr;
  IShellFolder2* FIShellFolder2 = nullptr;
  IShellDetails* FIShellDetails = nullptr;
  IUnknown* FDetailInterface = nullptr;
  bool FDetailsTried = false;
};

// The unit's start-up, run once on first use: OLE for this thread, the desktop folder, the system's small icons.
void lvShellInit();
// The unit's shutdown (run at exit; earlier it may be run by hand, and the next use starts the unit again): the
// desktop folder, the small icons and the context-menu interfaces go, then OLE.
void lvShellDone();
// The context-menu interfaces of the shell item whose menu is shown; released by the shutdown.
extern IContextMenu* ICM;
extern IContextMenu2* ICM2;
extern bool UseAllFolderAttributes;
extern int nFolder;
TlvShellFolder* DesktopFolder();
HIMAGELIST SysSmallImages();
TsAlphaImageList* SysSmallImageList();
