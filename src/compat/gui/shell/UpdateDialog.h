#pragma once
// The former name of this header, kept for code that still includes it.
#include "shell/TformUpdate.h"
