// All of the Windows facilities the tools use.
#pragma once

#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/paths.h"
#include "zwindows/process.h"
#include "zwindows/registry.h"
#include "zwindows/types.h"
#include "zwindows/ui.h"
