#pragma once
// The link between forms and the component core's resource reader: a form reads the resource named after its
// class when it is created.
#include "platform/vcl/component.h"

namespace vcl {

class TCustomForm;

// Reads the form resources of the form's class and its ancestors into it; false when there is none.
bool LoadFormResource(TCustomForm* form);

}  // namespace vcl
