#pragma once
// The state record of one caption button (close, maximise, minimise, help, a user's title button), shared by the
// skinned forms' frame and the skinned dialogs' frame: both hand it to the hover fade of the skinned forms.
#include "platform/vcl/graphicstypes.h"

class TlvSBAnimation;

// -1 not shown, 0 normal, 1 hot, 2 pressed.
struct TsCaptionButton {
  int State = 0;
  int GlowID = -1;
  int ImageIndex = -1;
  vcl::TRect Rect;  // in the window image
  unsigned HitCode = 0;
  TlvSBAnimation* Timer = nullptr;  // a running hover fade, nil when idle
  bool HaveAlignment = false;       // follows the skin's vertical alignment of big buttons
};
