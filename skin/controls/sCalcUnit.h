#pragma once
// What the calculator unit keeps from start-up to shutdown: the system's own words for the Close and Minimize
// commands (read once from "User32"; empty when it cannot be loaded) and the rectangles of its key area.
#include <vector>

#include "platform/rtl/types.h"
#include "platform/vcl/graphicstypes.h"

const rtl::String& s_Close();
const rtl::String& s_Minimize();
std::vector<vcl::TRect>& ArOR();
