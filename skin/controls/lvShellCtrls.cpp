#include "skin/controls/lvShellCtrls.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/vcl/application.h"
#include "platform/vcl/colors.h"
#include "skin/render/lvAlphaImageList.h"

bool UseAllFolderAttributes = true;
int nFolder = 0;
IContextMenu* ICM = nullptr;
IContextMenu2* ICM2 = nullptr;

namespace {
IShellFolder* gDesktop = nullptr;
TlvShellFolder* gDesktopFolder = nullptr;
HIMAGELIST gSysSmallImages = nullptr;
TsAlphaImageList* gSysSmallImageList = nullptr;
bool gInitialized = false;
bool gOleInitialized = false;
CRITICAL_SECTION gCS;

// A list longer than this is damaged: no namespace is that deep.
constexpr int kMaxItems = 4096;

// The detail interface of the older shells: {000214EC-0000-0000-C000-000000000046}.
const IID kIID_IShellDetails = {0x000214EC, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

void OleCheck(HRESULT hr) {
  if (FAILED(hr))
    throw rtl::Exception(rtl::Format(L"OLE error %.8X", {static_cast<unsigned>(hr)}));
}

IMalloc* ShellMalloc() {
  IMalloc* m = nullptr;
  OleCheck(SHGetMalloc(&m));
  return m;
}

void Shutdown() { lvShellDone(); }

rtl::String ExtOf(const rtl::String& name) {
  size_t dot = name.find_last_of(L'.');
  size_t slash = name.find_last_of(L"\\/");
  if (dot == rtl::String::npos || (slash != rtl::String::npos && dot < slash)) return {};
  return name.substr(dot);
}

bool AsciiLowerEquals(const rtl::String& a, const wchar_t* b) {
  size_t n = std::wcslen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    wchar_t c = a[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != b[i]) return false;
  }
  return true;
}

ULONG Attributes(IShellFolder* parent, LPCITEMIDLIST pidl, ULONG mask) {
  if (!parent || !pidl) return 0;
  ULONG flags = mask;
  if (FAILED(parent->GetAttributesOf(1, &pidl, &flags))) return 0;
  return flags;
}
}  // namespace

void lvShellDone() {
  if (!gInitialized) return;
  gInitialized = false;
  delete gDesktopFolder;
  gDesktopFolder = nullptr;
  delete gSysSmallImageList;
  gSysSmallImageList = nullptr;
  gSysSmallImages = nullptr;
  if (gDesktop) gDesktop->Release();
  gDesktop = nullptr;
  DeleteCriticalSection(&gCS);
  // Interfaces are given back while OLE is still up: released after it, a menu handler's proxy would be gone.
  if (ICM2) ICM2->Release();
  ICM2 = nullptr;
  if (ICM) ICM->Release();
  ICM = nullptr;
  if (gOleInitialized) OleUninitialize();
  gOleInitialized = false;
}

void lvShellInit() {
  if (gInitialized) return;
  static bool atExit = false;
  gInitialized = true;
  InitializeCriticalSection(&gCS);
  HRESULT hr = OleInitialize(nullptr);
  gOleInitialized = SUCCEEDED(hr);
  OleCheck(SHGetDesktopFolder(&gDesktop));
  if (LPITEMIDLIST id = DesktopPIDL()) {
    // The root's own item: an empty list relative to the root.
    LPITEMIDLIST empty = CreatePIDL(2);
    gDesktopFolder = new TlvShellFolder(nullptr, empty, gDesktop);
    DisposePIDL(empty);
    DisposePIDL(id);
  }
  SHFILEINFOW info{};
  gSysSmallImages = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (gSysSmallImages && !gSysSmallImageList) {
    gSysSmallImageList = new TsAlphaImageList(nullptr);
    gSysSmallImageList->SetShareImages(true);  // the system's list is never destroyed
    gSysSmallImageList->SetHandle(gSysSmallImages);
    gSysSmallImageList->LvEndUpdate(true);
    gSysSmallImageList->SetBkColor(vcl::clNone);
  }
  if (!atExit) std::atexit(Shutdown);
  atExit = true;
}

TlvShellFolder* DesktopFolder() {
  lvShellInit();
  return gDesktopFolder;
}
HIMAGELIST SysSmallImages() {
  lvShellInit();
  return gSysSmallImages;
}
TsAlphaImageList* SysSmallImageList() {
  lvShellInit();
  return gSysSmallImageList;
}

// ID lists.

LPITEMIDLIST CreatePIDL(UINT size) {
  IMalloc* m = ShellMalloc();
  auto* p = static_cast<LPITEMIDLIST>(m->Alloc(size));
  m->Release();
  if (!p) throw rtl::Exception(L"Out of memory");
  std::memset(p, 0, size);
  return p;
}

LPITEMIDLIST NextPIDL(LPCITEMIDLIST idList) {
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(idList) + idList->mkid.cb));
}

UINT GetPIDLSize(LPCITEMIDLIST idList) {
  if (!idList) return 0;
  UINT size = 2;
  int items = 0;
  while (idList->mkid.cb != 0) {
    if (++items > kMaxItems) throw rtl::Exception(L"Damaged item ID list");
    size += idList->mkid.cb;
    idList = NextPIDL(idList);
  }
  return size;
}

LPITEMIDLIST CopyPIDL(LPCITEMIDLIST idList) {
  if (!idList) return nullptr;
  UINT size = GetPIDLSize(idList);
  LPITEMIDLIST p = CreatePIDL(size);
  std::memcpy(p, idList, size);
  return p;
}

LPITEMIDLIST ConcatPIDLs(LPCITEMIDLIST idList1, LPCITEMIDLIST idList2) {
  UINT cb1 = idList1 ? GetPIDLSize(idList1) - 2 : 0;
  UINT cb2 = idList2 ? GetPIDLSize(idList2) : 2;
  LPITEMIDLIST p = CreatePIDL(cb1 + cb2);
  if (idList1) std::memcpy(p, idList1, cb1);
  if (idList2) std::memcpy(reinterpret_cast<BYTE*>(p) + cb1, idList2, cb2);
  return p;
}

void DisposePIDL(LPITEMIDLIST idList) {
  if (!idList) return;
  IMalloc* m = ShellMalloc();
  m->Free(idList);
  m->Release();
}

IShellFolder* DesktopShellFolder() {
  lvShellInit();
  return gDesktop;
}

LPITEMIDLIST DesktopPIDL() {
  LPITEMIDLIST id = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, nFolder, &id))) return nullptr;
  return id;
}

bool IsElement(UINT element, UINT flag) { return (element & flag) != 0; }

// Attributes.

TlvShellFolderCapabilities GetCaps(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  TlvShellFolderCapabilities caps;
  ULONG f = Attributes(parentFolder, pidl,
                       SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
                           SFGAO_HASPROPSHEET | SFGAO_DROPTARGET);
  if (IsElement(f, SFGAO_CANCOPY)) caps += fcCanCopy;
  if (IsElement(f, SFGAO_CANDELETE)) caps += fcCanDelete;
  if (IsElement(f, SFGAO_CANLINK)) caps += fcCanLink;
  if (IsElement(f, SFGAO_CANMOVE)) caps += fcCanMove;
  if (IsElement(f, SFGAO_CANRENAME)) caps += fcCanRename;
  if (IsElement(f, SFGAO_DROPTARGET)) caps += fcDropTarget;
  if (IsElement(f, SFGAO_HASPROPSHEET)) caps += fcHasPropSheet;
  return caps;
}

TlvShellFolderProperties GetProperties(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  TlvShellFolderProperties props;
  if (!parentFolder) return props;
  ULONG f = Attributes(parentFolder, pidl, UseAllFolderAttributes ? 0xFC000 : 0x38000);
  if (IsElement(f, SFGAO_GHOSTED)) props += fpCut;
  if (IsElement(f, SFGAO_LINK)) props += fpIsLink;
  if (IsElement(f, SFGAO_READONLY)) props += fpReadOnly;
  if (IsElement(f, SFGAO_SHARE)) props += fpShared;
  // Asked for by name: an empty mask answers nothing from the shells that take it literally.
  f = Attributes(parentFolder, pidl, SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_VALIDATE);
  if (IsElement(f, SFGAO_FILESYSTEM)) props += fpFileSystem;
  if (IsElement(f, SFGAO_FILESYSANCESTOR)) props += fpFileSystemAncestor;
  if (IsElement(f, SFGAO_REMOVABLE)) props += fpRemovable;
  if (IsElement(f, SFGAO_VALIDATE)) props += fpValidate;
  return props;
}

bool GetIsFolder(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  return IsElement(Attributes(parentFolder, pidl, SFGAO_FOLDER), SFGAO_FOLDER);
}
bool GetIsLink(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  return IsElement(Attributes(parentFolder, pidl, SFGAO_LINK), SFGAO_LINK);
}
bool GetIsReadOnly(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  return IsElement(Attributes(parentFolder, pidl, SFGAO_READONLY), SFGAO_READONLY);
}
bool GetHasSubFolders(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  return IsElement(Attributes(parentFolder, pidl, SFGAO_HASSUBFOLDER), SFGAO_HASSUBFOLDER);
}
bool GetIsFileFolder(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  ULONG f = Attributes(parentFolder, pidl, SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
  return IsElement(f, SFGAO_FILESYSTEM) && IsElement(f, SFGAO_FOLDER) && !IsElement(f, SFGAO_LINK);
}
bool GetIsFile(IShellFolder* parentFolder, LPCITEMIDLIST pidl) {
  ULONG f = Attributes(parentFolder, pidl, SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
  return IsElement(f, SFGAO_FILESYSTEM) && !IsElement(f, SFGAO_FOLDER) && !IsElement(f, SFGAO_LINK);
}

// Names and interfaces.

int GetShellImage(LPCITEMIDLIST pidl, bool large, bool open) {
  if (!pidl) return 0;
  SHFILEINFOW info{};
  UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
  if (open) flags |= SHGFI_OPENICON;
  if (!large) flags |= SHGFI_SMALLICON;
  if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof(info), flags)) return 0;
  return info.iIcon;
}

void StrRetToString(LPCITEMIDLIST pidl, STRRET& strRet, rtl::String& result) {
  switch (strRet.uType) {
    case STRRET_WSTR:
      result = strRet.pOleStr ? rtl::String(strRet.pOleStr) : rtl::String();
      if (strRet.pOleStr) CoTaskMemFree(strRet.pOleStr);
      strRet.pOleStr = nullptr;
      break;
    case STRRET_OFFSET: {
      if (!pidl || strRet.uOffset >= pidl->mkid.cb) {
        result.clear();
        break;
      }
      // The name lies inside the item: it ends at its terminator or at the item's end.
      const char* s = reinterpret_cast<const char*>(pidl) + strRet.uOffset;
      size_t max = pidl->mkid.cb - strRet.uOffset, n = 0;
      while (n < max && s[n]) ++n;
      int w = MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0);
      rtl::String out(static_cast<size_t>(w), L'\0');
      if (w > 0) MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), out.data(), w);
      result = out;
      break;
    }
    case STRRET_CSTR: {
      // A name given as a plain string: taken too, rather than leaving the item nameless.
      size_t n = strnlen(strRet.cStr, sizeof(strRet.cStr));
      int w = MultiByteToWideChar(CP_ACP, 0, strRet.cStr, static_cast<int>(n), nullptr, 0);
      rtl::String out(static_cast<size_t>(w), L'\0');
      if (w > 0) MultiByteToWideChar(CP_ACP, 0, strRet.cStr, static_cast<int>(n), out.data(), w);
      result = out;
      break;
    }
    default:
      break;
  }
  if (result.size() >= 2 && result[0] == L'?' && result[1] >= L'0' && result[1] <= L'9') {
    rtl::String clean;
    for (wchar_t c : result)
      if (c != L'?') clean += c;
    result = clean;
  }
}

rtl::String GetDisplayName(IShellFolder* parentFolder, LPCITEMIDLIST pidl, DWORD flags, TlvShowExtension showExt) {
  if (!parentFolder) return L"parentfolder = nil";
  rtl::String name;
  STRRET sr{};
  if (SUCCEEDED(parentFolder->GetDisplayNameOf(pidl, flags, &sr))) StrRetToString(pidl, sr, name);
  if (showExt != seSystem) {
    rtl::String e = ExtOf(name);
    rtl::String parse;
    STRRET pr{};
    if (SUCCEEDED(parentFolder->GetDisplayNameOf(pidl, SHGDN_FORPARSING, &pr))) StrRetToString(pidl, pr, parse);
    DWORD attrs = parse.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(parse.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
      rtl::String x = ExtOf(parse);
      if (showExt == seShow && e != x) name += x;
    }
    if (showExt == seHide && !e.empty()) name.resize(name.size() - e.size());
  }
  if (name.rfind(L"::{", 0) == 0 && flags != SHGDN_NORMAL)
    return GetDisplayName(parentFolder, pidl, SHGDN_NORMAL, showExt);
  return name;
}

IShellDetails* GetIShellDetails(IShellFolder* folder, LPCITEMIDLIST pidl, HWND handle) {
  void* p = nullptr;
  if (folder) {
    if (FAILED(folder->BindToObject(pidl, nullptr, kIID_IShellDetails, &p)) || !p) {
      p = nullptr;
      if (FAILED(folder->GetUIObjectOf(handle, 1, &pidl, kIID_IShellDetails, nullptr, &p)) || !p) {
        p = nullptr;
        if (FAILED(folder->CreateViewObject(handle, kIID_IShellDetails, &p))) p = nullptr;
      }
    }
  }
  if (!p && DesktopShellFolder() &&
      FAILED(DesktopShellFolder()->BindToObject(pidl, nullptr, kIID_IShellDetails, &p)))
    p = nullptr;
  return static_cast<IShellDetails*>(p);
}

IShellFolder2* GetIShellFolder2(IShellFolder* folder, LPCITEMIDLIST pidl, HWND handle) {
  void* p = nullptr;
  if (DesktopShellFolder() &&
      SUCCEEDED(DesktopShellFolder()->BindToObject(pidl, nullptr, __uuidof(IShellFolder2), &p)) && p)
    return static_cast<IShellFolder2*>(p);
  p = nullptr;
  if (folder) {
    if (SUCCEEDED(folder->GetUIObjectOf(handle, 1, &pidl, __uuidof(IShellFolder2), nullptr, &p)) && p)
      return static_cast<IShellFolder2*>(p);
    p = nullptr;
    if (SUCCEEDED(folder->BindToObject(pidl, nullptr, __uuidof(IShellFolder2), &p)) && p)
      return static_cast<IShellFolder2*>(p);
  }
  return nullptr;
}

// One item.

TlvShellFolder::TlvShellFolder(TlvShellFolder* parent, LPCITEMIDLIST id, IShellFolder* sf)
    : FDetails(std::make_unique<rtl::TStringList>()), FParent(parent), FIShellFolder(sf) {
  lvShellInit();
  if (FIShellFolder) FIShellFolder->AddRef();
  FPIDL = CopyPIDL(id);
  if (FParent) {
    FFullPIDL = ConcatPIDLs(FParent->FFullPIDL, id);
  } else {
    LPITEMIDLIST root = DesktopPIDL();
    FFullPIDL = ConcatPIDLs(root, id);
    DisposePIDL(root);
    FParent = gDesktopFolder;
  }
  for (TlvShellFolder* p = parent ? parent->FParent : nullptr; p; p = p->FParent) ++FLevel;
}

TlvShellFolder::~TlvShellFolder() {
  DisposePIDL(FPIDL);
  DisposePIDL(FFullPIDL);
  if (FIShellFolder2) FIShellFolder2->Release();
  if (FIShellDetails) FIShellDetails->Release();
  if (FIShellFolder) FIShellFolder->Release();
}

IShellFolder* TlvShellFolder::ParentShellFolder() const {
  if (FParent && FParent->FIShellFolder) return FParent->FIShellFolder;
  return DesktopShellFolder();
}

TlvShellFolderProperties TlvShellFolder::Properties() const { return GetProperties(ParentShellFolder(), FPIDL); }
TlvShellFolderCapabilities TlvShellFolder::Capabilities() const { return GetCaps(ParentShellFolder(), FPIDL); }
bool TlvShellFolder::SubFolders() const { return GetHasSubFolders(ParentShellFolder(), FPIDL); }
bool TlvShellFolder::IsFileFolder() const { return GetIsFileFolder(ParentShellFolder(), FPIDL); }
bool TlvShellFolder::IsReadOnly() const { return GetIsReadOnly(ParentShellFolder(), FPIDL); }

bool TlvShellFolder::IsFolder(const rtl::String& name, bool openZipFiles) const {
  if (!openZipFiles && AsciiLowerEquals(ExtOf(name), L".zip")) return false;
  return GetIsFolder(ParentShellFolder(), FPIDL);
}

bool TlvShellFolder::IsFile(const rtl::String& name, bool openZipFiles) const {
  if (!openZipFiles && AsciiLowerEquals(ExtOf(name), L".zip")) return true;
  return GetIsFile(ParentShellFolder(), FPIDL);
}

rtl::String TlvShellFolder::PathName() const {
  return GetDisplayName(DesktopShellFolder(), FFullPIDL, SHGDN_FORPARSING, seSystem);
}

rtl::String TlvShellFolder::DisplayName(TlvShowExtension showExt) const {
  IShellFolder* parent = ParentShellFolder();
  if (!parent) return L"?";
  return GetDisplayName(parent, FPIDL, SHGDN_INFOLDER, showExt);
}

int TlvShellFolder::ImageIndex(bool largeIcon) const { return GetShellImage(FFullPIDL, largeIcon, false); }

bool TlvShellFolder::ExecuteDefault() {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = vcl::Application ? vcl::Application->Handle() : nullptr;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.lpIDList = FFullPIDL;
  info.nShow = SW_SHOW;
  return ShellExecuteExW(&info) != FALSE;
}

bool TlvShellFolder::Rename(const rtl::String& newName) {
  if (!Capabilities().Contains(fcCanRename)) return false;
  LPITEMIDLIST fresh = nullptr;
  IShellFolder* parent = ParentShellFolder();
  if (!parent || FAILED(parent->SetNameOf(nullptr, FPIDL, newName.c_str(), SHGDN_NORMAL, &fresh)) || !fresh)
    throw rtl::Exception(rtl::Format(L"Rename to %s failed", {newName}));
  DisposePIDL(FPIDL);
  DisposePIDL(FFullPIDL);
  FPIDL = fresh;
  FFullPIDL = FParent ? ConcatPIDLs(FParent->FFullPIDL, fresh) : CopyPIDL(fresh);
  return true;
}

void TlvShellFolder::GetDetailInterface() {
  if (FDetailsTried || !FIShellFolder) return;
  FDetailsTried = true;
  FIShellDetails = GetIShellDetails(FIShellFolder, FFullPIDL, FViewHandle);
  if (!FIShellDetails) {
    FIShellFolder2 = GetIShellFolder2(FIShellFolder, FFullPIDL, FViewHandle);
    if (!FIShellFolder2) {
      void* p = nullptr;
      if (SUCCEEDED(FIShellFolder->QueryInterface(__uuidof(IShellFolder2), &p))) FIShellFolder2 = static_cast<IShellFolder2*>(p);
    }
  }
  FDetailInterface = FIShellFolder2 ? static_cast<IUnknown*>(FIShellFolder2) : FIShellDetails;
}

IShellFolder2* TlvShellFolder::ShellFolder2() {
  GetDetailInterface();
  return FIShellFolder2;
}

IShellDetails* TlvShellFolder::ShellDetails() {
  GetDetailInterface();
  return FIShellDetails;
}

void TlvShellFolder::LoadColumnDetails(int columns) {
  FDetails->Clear();
  if (columns <= 0) return;
  if (columns > 64) columns = 64;
  IShellFolder2* f2 = FParent ? FParent->ShellFolder2() : nullptr;
  IShellDetails* sd = f2 || !FParent ? nullptr : FParent->ShellDetails();
  for (int i = 0; i < columns; ++i) {
    SHELLDETAILS d{};
    rtl::String text;
    HRESULT hr = f2 ? f2->GetDetailsOf(FPIDL, static_cast<UINT>(i), &d)
                    : sd ? sd->GetDetailsOf(FPIDL, static_cast<UINT>(i), &d) : E_NOTIMPL;
    if (SUCCEEDED(hr)) StrRetToString(FPIDL, d.str, text);
    FDetails->Add(text);
  }
}

rtl::String TlvShellFolder::Details(int index) const {
  if (FDetails->Count() == 0)
    throw rtl::Exception(rtl::Format(L"%s: Missing call to LoadColumnDetails", {DisplayName(seSystem)}));
  if (index < 1 || index > FDetails->Count()) return {};
  return FDetails->Get(index - 1);
}

void TlvShellFolder::SetDetails(int index, const rtl::String& value) {
  if (index < 1) return;
  if (index - 1 < FDetails->Count())
    FDetails->Put(index - 1, value);
  else
    FDetails->Insert(std::min(index - 1, FDetails->Count()), value);
}
