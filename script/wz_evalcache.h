#pragma once
// What a compiled evaluation depends on beyond its own text, so that the program's cache of evaluations can tell
// when a kept one no longer fits: the registries of the programs it was compiled against (their items may have been
// freed or replaced), and the kind of value each Variant path was resolved through (a path over a Variant is bound
// to the class of the object the Variant held when the path was built).
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/variant.h"

class TwzCustomVariable;
class TwzScript;

// Moves on whenever a program's registry gains or loses items; dead once the program is destroyed. Holders keep
// it alive past the program, so a stale reference is told apart from a new program at the same address.
struct TwzRegistryStamp {
  std::uint64_t Generation = 0;
  bool Alive = true;
};

// A path over a Variant item, and the kind of value the item held when the path was resolved.
struct TwzVariantBinding {
  TwzCustomVariable* Item;
  rtl::String Kind;
};

// Kept by a program whose compiled code is cached (an evaluation): the bindings its paths were resolved through,
// at compile time and, for paths resolved on first use, while it runs.
struct TwzBindingLog {
  std::vector<TwzVariantBinding> Bindings;
};

// The value an item holds now without running anything: a function or a host property is not called.
rtl::Variant wzCompileTimeValue(TwzCustomVariable* item);
// What a path resolved through value depends on: "string", "dispatch", "array", or the object's class name.
rtl::String wzValueKind(const rtl::Variant& value);
// Records the binding on the first program up scope's parent chain that keeps a log; nothing when none does.
void wzNoteVariantBinding(TwzScript* scope, TwzCustomVariable* item, const rtl::Variant& value);

// The registries a compiled evaluation was built against: its scope and every parent, with their generations then.
class TwzScopeSnapshot {
 public:
  TwzScopeSnapshot() = default;
  explicit TwzScopeSnapshot(const TwzScript* scope);
  // True while every program of the chain lives with an unchanged registry, the chain has the same programs, and
  // every recorded binding's item still holds a value of the same kind.
  bool StillFits(const TwzScript* scope, const TwzBindingLog* log) const;

 private:
  struct Link {
    std::shared_ptr<TwzRegistryStamp> Stamp;
    std::uint64_t Generation;
  };
  std::vector<Link> FChain;
};
