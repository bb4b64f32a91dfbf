#pragma once

#include "common/TextConverter.h"
#include "common/Utf8.h"
