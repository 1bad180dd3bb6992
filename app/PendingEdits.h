#pragma once
// Before a screen goes away, a record it has in edit or insert with changes is either saved or dropped on the
// user's word, never silently.
#include "platform/rtl/types.h"

namespace vcl {
class TCustomForm;
}

// Asks once for the screen when one of its datasets holds a changed record: Yes posts, No cancels the changes,
// Cancel keeps the screen. Answers whether the screen may close. A post that fails shows its error and keeps the
// screen open with the record still in edit.
bool ConfirmPendingEdits(vcl::TCustomForm* screen);

// The question, for a screen with the given caption.
rtl::String PendingEditsQuestion(const rtl::String& screenCaption);
