#pragma once
// Where the records live: tavrel.mdb in the executable's own folder, whatever the current folder is (the data
// layer opens the SQLite file tavrel.db of the same name).
#include "platform/rtl/types.h"

// "Provider=...;Data Source=" followed by the executable's folder and "tavrel.mdb".
rtl::String DatabaseConnectionString();
