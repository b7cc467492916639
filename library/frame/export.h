// Definition side of the library's exports.
#pragma once
#ifndef WENDLE_BUILD
#define WENDLE_BUILD
#endif
#include "wendle.h"
