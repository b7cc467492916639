// The application framework: strings, containers and the application object.
#pragma once
#include "framework/fxdef.h"
#include "framework/cstring.h"
#include "framework/carray.h"
#include "framework/cplex.h"
#include "framework/clist.h"
#include "framework/cwinapp.h"
