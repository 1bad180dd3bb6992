// Writing live components into the parsed form of a resource, which formtext.cpp prints.
#include "platform/rtl/strings.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/graphicsobjects.h"

namespace vcl {

void DefineAllProperties(TPersistent* obj, TFiler* filer);  // formreader.cpp

class TFormSaver {
public:
  explicit TFormSaver(TComponent* root) : root_(root) {}

  TFormObject WriteComponent(TComponent* c) {
    TFormObject o;
    o.Name = c->Name();
    o.ClassName = ClassOf(c)->ClassName();
    c->SetWriting(true);
    try {
      WriteProps(c, L"", o.Props, 0);
      c->GetChildren([&](TComponent* child) { o.Children.push_back(WriteComponent(child)); }, root_);
    } catch (...) {
      c->SetWriting(false);
      throw;
    }
    c->SetWriting(false);
    return o;
  }

  void WriteProps(TPersistent* obj, const String& prefix, std::vector<TFormProp>& out, int depth) {
    // A sub-object that points back at its owner must not loop forever.
    if (depth > 32) return;
    const TClassInfo* cls = ClassOf(obj);
    for (const TPropInfo* p : cls->Properties()) {
      if (!p->IsReadable() || !p->IsStored(obj)) continue;
      String name = prefix + p->Name();
      switch (p->Kind()) {
        case tkInteger:
        case tkInt64: {
          if (p->IsDefaultValue(obj)) break;
          // A character set goes by its name, as hand-written form text has it; one without a name by number.
          String ident;
          if (p->TypeName() == L"TFontCharset" && CharsetToIdent(static_cast<int>(p->GetOrd(obj)), ident))
            out.push_back({name, TFormValue::FromIdent(ident)});
          else
            out.push_back({name, TFormValue::FromInt(p->GetOrd(obj))});
          break;
        }
        case tkChar:
        case tkWChar:
          if (p->IsDefaultValue(obj)) break;
          out.push_back({name, TFormValue::FromString(String(1, static_cast<wchar_t>(p->GetOrd(obj))))});
          break;
        case tkEnumeration:
          if (p->IsDefaultValue(obj)) break;
          out.push_back({name, TFormValue::FromIdent(p->EnumType()->NameOf(p->GetOrd(obj)))});
          break;
        case tkSet: {
          if (p->IsDefaultValue(obj)) break;
          TFormValue v;
          v.Kind = TFormValueKind::Set;
          auto bits = static_cast<std::uint64_t>(p->GetOrd(obj));
          for (int i = 0; i < 64; ++i)
            if (bits & (std::uint64_t{1} << i)) v.Elements.push_back(p->EnumType()->NameOf(i));
          out.push_back({name, v});
          break;
        }
        case tkFloat:
          if (p->IsDefaultValue(obj)) break;
          out.push_back({name, TFormValue::FromFloat(p->GetFloat(obj))});
          break;
        case tkString:
        case tkLString:
        case tkWString:
        case tkUString:
          if (p->IsDefaultValue(obj)) break;
          out.push_back({name, TFormValue::FromString(p->GetStr(obj))});
          break;
        case tkVariant: {
          rtl::Variant v = p->GetVariant(obj);
          if (v.IsEmpty()) break;
          out.push_back({name, VariantValue(v)});
          break;
        }
        case tkClass: {
          TObject* sub = p->GetObject(obj);
          if (!sub) break;
          if (p->IsReference()) {
            String ref = ReferenceName(dynamic_cast<TComponent*>(sub));
            if (!ref.empty()) out.push_back({name, TFormValue::FromIdent(ref)});
            break;
          }
          if (auto* collection = dynamic_cast<TCollection*>(sub)) {
            if (collection->Count() == 0) break;
            out.push_back({name, CollectionValue(collection)});
            break;
          }
          if (auto* persistent = dynamic_cast<TPersistent*>(sub)) {
            WriteProps(persistent, name + L".", out, depth + 1);
          }
          break;
        }
        case tkMethod: {
          TMethod m = p->GetMethod(obj);
          // Only handlers of the root can be found again when the resource is read.
          if (!m.HasCode || m.Data != root_) break;
          String handler = MethodNameOf(m);
          if (!handler.empty()) out.push_back({name, TFormValue::FromIdent(handler)});
          break;
        }
        default:
          break;
      }
    }
    TWriter writer(*this);
    writer.SetPrefix(prefix);
    DefineAllProperties(obj, &writer);
    for (TFormProp& p : writer.Props()) out.push_back(std::move(p));
  }

  TFormValue CollectionValue(TCollection* collection) {
    TFormValue v;
    v.Kind = TFormValueKind::Collection;
    for (int i = 0; i < collection->Count(); ++i) {
      std::vector<TFormProp> props;
      WriteProps(collection->Items(i), L"", props, 0);
      v.Items.push_back(std::move(props));
    }
    return v;
  }

  static TFormValue VariantValue(const rtl::Variant& v) {
    switch (v.VarType() & rtl::varTypeMask) {
      case rtl::varNull: return TFormValue::FromIdent(L"Null");
      case rtl::varBoolean: return TFormValue::FromIdent(v.AsBoolean() ? L"True" : L"False");
      case rtl::varSmallint:
      case rtl::varInteger:
      case rtl::varShortInt:
      case rtl::varByte:
      case rtl::varWord:
      case rtl::varLongWord:
      case rtl::varInt64: return TFormValue::FromInt(v.AsInt64());
      case rtl::varSingle:
      case rtl::varDouble:
      case rtl::varCurrency:
      case rtl::varDate: return TFormValue::FromFloat(v.AsDouble());
      default: return TFormValue::FromString(rtl::VarToStr(v));
    }
  }

  String ReferenceName(TComponent* c) const {
    if (!c) return L"";
    if (c == root_) return root_->Name();
    if (c->Owner() == root_ || !c->Owner()) return c->Name();
    if (c->Name().empty() || c->Owner()->Name().empty()) return L"";
    return c->Owner()->Name() + L"." + c->Name();
  }

  TComponent* Root() const { return root_; }

private:
  TComponent* root_;
};

// ---------------------------------------------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TFormSaver& saver) : saver_(saver) { root_ = saver.Root(); }

void TWriter::DefineProperty(const String& name, TReaderProc, TWriterProc write, bool hasData) {
  if (!hasData || !write) return;
  written_.clear();
  lists_.clear();
  write(*this);
  if (!lists_.empty()) throw rtl::EWriteError(L"Stored property " + name + L" left a list open");
  if (written_.empty()) return;
  TFormValue value;
  if (written_.size() == 1) {
    value = std::move(written_[0]);
  } else {
    value.Kind = TFormValueKind::List;
    value.List = std::move(written_);
  }
  props_.push_back({prefix_ + name, std::move(value)});
  written_.clear();
}

void TWriter::DefineBinaryProperty(const String& name, TStreamProc, TStreamProc write, bool hasData) {
  if (!hasData || !write) return;
  rtl::TBytesStream stream;
  write(stream);
  TFormValue v;
  v.Kind = TFormValueKind::Binary;
  v.Bytes = stream.Bytes();
  props_.push_back({prefix_ + name, std::move(v)});
}

void TWriter::Put(TFormValue v) {
  if (!lists_.empty())
    lists_.back().List.push_back(std::move(v));
  else
    written_.push_back(std::move(v));
}

void TWriter::WriteInteger(Int64 value) { Put(TFormValue::FromInt(value)); }
void TWriter::WriteFloat(double value) { Put(TFormValue::FromFloat(value)); }
void TWriter::WriteString(const String& value) { Put(TFormValue::FromString(value)); }
void TWriter::WriteBoolean(bool value) { Put(TFormValue::FromIdent(value ? L"True" : L"False")); }
void TWriter::WriteIdent(const String& ident) { Put(TFormValue::FromIdent(ident)); }

void TWriter::WriteBinary(const std::vector<Byte>& bytes) {
  TFormValue v;
  v.Kind = TFormValueKind::Binary;
  v.Bytes = bytes;
  Put(std::move(v));
}

void TWriter::WriteListBegin() {
  TFormValue v;
  v.Kind = TFormValueKind::List;
  lists_.push_back(std::move(v));
}

void TWriter::WriteListEnd() {
  if (lists_.empty()) throw rtl::EWriteError(L"No list to end");
  TFormValue v = std::move(lists_.back());
  lists_.pop_back();
  Put(std::move(v));
}

void TWriter::WriteCollection(TCollection* collection) {
  if (!collection) {
    TFormValue v;
    v.Kind = TFormValueKind::Collection;
    Put(std::move(v));
    return;
  }
  Put(saver_.CollectionValue(collection));
}

void TWriter::WriteValue(const TFormValue& value) { Put(value); }

// ---------------------------------------------------------------------------------------------------------------

TFormObject WriteComponentObject(TComponent* root) {
  TFormSaver saver(root);
  return saver.WriteComponent(root);
}

String WriteComponentText(TComponent* root) { return FormatFormText(WriteComponentObject(root)); }

std::vector<TFormProp> WriteProperties(TPersistent* obj, TComponent* root) {
  TFormSaver saver(root);
  std::vector<TFormProp> props;
  saver.WriteProps(obj, L"", props, 0);
  return props;
}

std::vector<Byte> WriteDefinedProperties(TPersistent* obj, TComponent* root) {
  TFormSaver saver(root);
  TWriter writer(saver);
  DefineAllProperties(obj, &writer);
  if (writer.Props().empty()) return {};
  return EncodeFormProps(writer.Props());
}

}  // namespace vcl
