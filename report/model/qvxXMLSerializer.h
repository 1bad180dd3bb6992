#pragma once
// Report objects to the report XML dialect and back, through the published properties of the class registry:
// each stored property is one attribute, owned sub-objects give dotted names ("Font.Name"), and what an object
// stores through DefineProperties travels as one hexadecimal "PropData" attribute. Reading never stops at a bad
// attribute: the message goes into Errors and the next attribute follows.
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "report/model/qvxXML.h"

namespace vcl {
class TPropInfo;
}
class TqvxComponent;

using TqvxXMLItemEvent = std::function<void(TqvxXMLItem* item)>;
using TqvxGetAncestorEvent = std::function<void(const rtl::String& name, rtl::TPersistent*& ancestor)>;

// A reference property waiting for the object it names.
struct TqvxFixupItem {
  rtl::TObject* Obj = nullptr;
  const vcl::TPropInfo* PropInfo = nullptr;
  rtl::String Value;
};

class TqvxXMLSerializer : public rtl::TObject {
public:
  // stream may be nullptr for a serializer that only converts attribute texts.
  explicit TqvxXMLSerializer(rtl::TStream* stream);
  ~TqvxXMLSerializer() override;
  rtl::String ClassName() const override { return L"TqvxXMLSerializer"; }

  // The attribute text of obj's stored properties, each with a leading blank; add goes before every name.
  rtl::String ObjToXML(rtl::TPersistent* obj, const rtl::String& add = rtl::String(),
                       rtl::TPersistent* ancestor = nullptr);
  void XMLToObj(const rtl::String& text, rtl::TPersistent* obj);

  void WriteRootComponent(TqvxComponent* root, bool saveChildren = true, TqvxXMLItem* xmlItem = nullptr,
                          bool streaming = false);
  void ReadRootComponent(TqvxComponent* root, TqvxXMLItem* xmlItem = nullptr);

  // "TClass Attr=..." without Name, ancestor or children; WriteComponent puts it on Stream as "<...>/" + ">".
  rtl::String WriteComponentStr(TqvxComponent* component);
  void WriteComponent(TqvxComponent* component);
  // nullptr for an empty text; an unregistered class raises EClassNotFound.
  TqvxComponent* ReadComponentStr(TqvxComponent* root, const rtl::String& text, bool dontFixup = false);
  TqvxComponent* ReadComponent(TqvxComponent* root);
  // Applies text to an existing object and resolves its references at once.
  void ReadPersistentStr(TqvxComponent* root, rtl::TPersistent* obj, const rtl::String& text);

  void CopyFixupList(std::vector<TqvxFixupItem>* list) const;
  void AddFixup(rtl::TObject* obj, const vcl::TPropInfo* propInfo, const rtl::String& value);
  void FixupReferences();
  void ClearFixups();

  rtl::TStringList& Errors() { return *FErrors; }
  const std::vector<TqvxFixupItem>& Fixups() const { return FFixups; }
  TqvxComponent* Owner() const { return FOwner; }
  void SetOwner(TqvxComponent* value) { FOwner = value; }
  rtl::TStream* Stream() const { return FStream; }

  bool SerializeDefaultValues = false;
  bool OldFormat = false;
  bool HandleNestedProperties = false;
  bool SaveAncestorOnly = false;
  TqvxGetAncestorEvent OnGetAncestor;
  TqvxXMLItemEvent OnGetCustomDataEvent;
  TqvxXMLItemEvent OnSaveCustomDataEvent;

private:
  void WriteItem(TqvxComponent* component, TqvxXMLItem* item, bool saveChildren, bool streaming, bool isRoot);
  void ReadItem(TqvxXMLItem* item, TqvxComponent* parent, TqvxComponent* root, std::vector<TqvxComponent*>& read);
  void SetMemoText(rtl::TPersistent* obj, const rtl::String& value, bool utf8Bytes);
  void ApplyProp(rtl::TPersistent* obj, const rtl::String& name, const rtl::String& value);
  rtl::String PropDataOf(rtl::TPersistent* obj);

  std::unique_ptr<rtl::TStringList> FErrors;
  std::vector<TqvxFixupItem> FFixups;
  TqvxComponent* FOwner = nullptr;
  rtl::TStream* FStream = nullptr;
};

// The memo text of a text object, or nullptr for other objects (text objects publish their lines as "Memo").
class TqvxWideStrings;
TqvxWideStrings* qvxMemoOf(rtl::TObject* obj);
